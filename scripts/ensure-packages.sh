# Sourced by run.sh and test.sh: installs the Debian packages named in the given lists that are
# not installed yet. Without root it prints the apt-get line to run and stops.
ensure_packages() {
    local wanted=() missing=() list pkg
    for list in "$@"; do
        while read -r pkg; do
            [[ -z "$pkg" || "$pkg" == \#* ]] || wanted+=("$pkg")
        done < "$list"
    done
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "Quillmoor needs these Debian packages. Install them with:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
