#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

#include "support/ScriptedDialogHost.h"

namespace qv::test {

TempDir::TempDir() {
    std::random_device rd;
    std::mt19937_64 rng(rd());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto p = base / ("quorvane-test-" + std::to_string(rng()));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) {
            path_ = p.string() + "/";
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace qv::test
