#pragma once

#include <QString>
#include <string>

namespace qv::app {

// Engine texts are UTF-8 (messages, paths); the toolkit's are QString.
inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string ss(const QString& s) {
    return s.toStdString();
}

}  // namespace qv::app
