// A preview of the whole editor window built from the generated PNGs, with
// stand-ins for the self-drawn views, for judging the pictures together.
#pragma once

#include <string>

namespace artgen {

void writeMock(const std::string& inputDir, const std::string& outPath);

}  // namespace artgen
