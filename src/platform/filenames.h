#pragma once

// How the file system names files, as far as the launch list editor cares.
namespace FileNames {

// The file dialog's pattern for every file: "*.*" on Windows; "*" on Linux, where most programs
// have no extension, which "*.*" would hide.
const char *everyFilePattern();
// Whether two names that differ only in case name the same file: on Windows, where a chosen
// path is kept lower-cased; not on Linux, where a lower-cased path names another file.
bool ignoreCase();

} // namespace FileNames
