#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/ListerOptions.h"

namespace qv {

// The one shared copy of the listing options. Readers hold a reference to record(),
// which stays valid for the model's life; every change goes through change() or
// replace(), which work out the derived fields and then tell the listeners, so no
// reader ever sees a limit that does not fit its option.
class OptionsModel {
  public:
    using Listener = std::function<void(const ListerOptions&)>;

    OptionsModel() = default;
    OptionsModel(const OptionsModel&) = delete;
    OptionsModel& operator=(const OptionsModel&) = delete;

    const ListerOptions& record() const { return options_; }

    // Lets edit change fields, recomputes the derived ones and tells the listeners.
    // Returns the "Failed to parse" messages of header styles that do not parse.
    std::vector<std::string> change(const std::function<void(ListerOptions&)>& edit);
    // Takes a whole record (an edited copy, or one read from the settings file).
    std::vector<std::string> replace(const ListerOptions& options);

    // A listener is told after every change; the returned number removes it again.
    int listen(Listener listener);
    void unlisten(int id);

  private:
    ListerOptions options_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 1;
};

}  // namespace qv
