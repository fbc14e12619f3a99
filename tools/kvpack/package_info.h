#pragma once
// A readable description of a package: what the stub will read from it.
#include <string>

namespace kv::pack {

// The trailer fields, flags and header settings of the package at path,
// one "name: value" per line; a file without a package says so.
std::string DescribePackage(const std::string& path);

}  // namespace kv::pack
