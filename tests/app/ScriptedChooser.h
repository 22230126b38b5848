#pragma once

// The file and folder dialogs of the windows as a test double: each call takes the next
// prepared answer (none left: cancelled) and remembers where the browser started.
#include <QStringList>
#include <deque>
#include <optional>

#include "platform/QtDialogHost.h"

namespace qv::test {

class ScriptedChooser : public app::FileChooser {
  public:
    std::deque<QStringList> openAnswers;
    std::deque<std::optional<SaveChoice>> saveAnswers;
    std::deque<QString> folderAnswers;
    QStringList folderStarts;

    QStringList openFiles(QWidget*, const QString&, const QString&, const std::string&) override {
        if (openAnswers.empty())
            return {};
        QStringList a = openAnswers.front();
        openAnswers.pop_front();
        return a;
    }
    QString openFile(QWidget* p, const QString& c, const QString& f,
                     const std::string& filter) override {
        const QStringList a = openFiles(p, c, f, filter);
        return a.isEmpty() ? QString() : a.front();
    }
    std::optional<SaveChoice> saveFile(QWidget*, const QString&, const QString&, const std::string&,
                                       const QString&) override {
        if (saveAnswers.empty())
            return std::nullopt;
        const bool chosen = saveAnswers.front().has_value();
        const SaveChoice a = chosen ? *saveAnswers.front() : SaveChoice{};
        saveAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return a;
    }
    QString chooseFolder(QWidget*, const QString&, const QString& start) override {
        folderStarts << start;
        if (folderAnswers.empty())
            return {};
        QString a = folderAnswers.front();
        folderAnswers.pop_front();
        return a;
    }
};

}  // namespace qv::test
