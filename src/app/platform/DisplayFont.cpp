#include "platform/DisplayFont.h"

#include <QFontDatabase>
#include <algorithm>

#include "platform/QtText.h"

namespace qv::app {
namespace {
constexpr int kTerminalMinimumPoints = 10;
}

QFont displayFont(const FontSetting& setting) {
    QFont font;
    const QString family = qs(setting.name);
    const bool terminal = family.compare(QLatin1String("Terminal"), Qt::CaseInsensitive) == 0;
    if (terminal || !QFontDatabase::hasFamily(family)) {
        if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Mono"))) {
            font = QFont(QStringLiteral("DejaVu Sans Mono"));
        } else {
            font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        }
        font.setStyleHint(QFont::Monospace);
        font.setPointSize(terminal ? std::max(setting.size, kTerminalMinimumPoints)
                                   : std::max(setting.size, 1));
    } else {
        font = QFont(family);
        font.setPointSize(std::max(setting.size, 1));
    }
    font.setBold((setting.style & kFontStyleBold) != 0);
    font.setItalic((setting.style & kFontStyleItalic) != 0);
    return font;
}

FontSetting fontSetting(const QFont& font, int charset) {
    FontSetting s;
    s.name = ss(font.family());
    s.charset = charset;
    s.size = std::clamp(font.pointSize() > 0 ? font.pointSize() : 10, 1, 500);
    s.style = (font.bold() ? kFontStyleBold : 0) | (font.italic() ? kFontStyleItalic : 0);
    return s;
}

}  // namespace qv::app
