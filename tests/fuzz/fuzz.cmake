# Each libFuzzer target for a bounded time; run_fuzzer.sh builds them with clang.
foreach(target interval pause inifile commandline)
    quillmoor_script_test(fuzz_${target} reliability fuzz/run_fuzzer.sh fuzz_${target} 20)
    set_tests_properties(fuzz_${target} PROPERTIES LABELS "reliability;fuzz" TIMEOUT 600 COST 25)
endforeach()
