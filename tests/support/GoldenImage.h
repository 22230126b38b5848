#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "support/Image.h"

namespace qv::test {

// Golden pictures: small two-colour BMP files kept beside the tests and reviewed by eye
// when they are made. A picture that differs is written next to the golden one as
// <name>.actual.bmp for a person to look at. With QV_UPDATE_GOLDEN=1 in the environment
// the golden file is (re)written instead and the check passes.
::testing::AssertionResult matchesGolden(const Image1& actual, const std::filesystem::path& golden);

// A picture drawn only in the two given colours as a two-colour picture (set = 1);
// nullopt when any pixel has another colour.
std::optional<Image1> toTwoColour(const Image32& image, std::uint32_t clearColour,
                                  std::uint32_t setColour);

}  // namespace qv::test
