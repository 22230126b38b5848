#include "settings/OptionsModel.h"

#include <algorithm>

namespace qv {

std::vector<std::string> OptionsModel::change(const std::function<void(ListerOptions&)>& edit) {
    edit(options_);
    std::vector<std::string> messages = recomputeOptions(options_);
    // A listener may add or remove listeners while it is told; tell a copy.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(options_);
    return messages;
}

std::vector<std::string> OptionsModel::replace(const ListerOptions& options) {
    return change([&](ListerOptions& o) { o = options; });
}

int OptionsModel::listen(Listener listener) {
    listeners_.emplace_back(nextId_, std::move(listener));
    return nextId_++;
}

void OptionsModel::unlisten(int id) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [id](const auto& l) { return l.first == id; }),
                     listeners_.end());
}

}  // namespace qv
