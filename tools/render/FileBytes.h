// Reading a whole input file for the readers of the command-line host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads `path` whole; false with the reason in `problem` when it is a
// directory, cannot be read, or holds more than `limit` bytes.
bool readFileBytes(const std::string& path, std::size_t limit, std::vector<uint8_t>& bytes, std::string& problem);

// printf-style text of a reader's error message.
std::string formatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
