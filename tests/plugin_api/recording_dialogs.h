#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "plugin_api/user_dialogs.h"

// Stand-ins for the person at the screen: they note what was shown and answer from a script.
namespace vane {

struct RecordedAlert {
    QString title;
    QString message;
    friend bool operator==(const RecordedAlert&, const RecordedAlert&) = default;
};

struct RecordedReport {
    QString title;
    QString message;
    QString details;
    friend bool operator==(const RecordedReport&, const RecordedReport&) = default;
};

class RecordingAlerts final : public AlertPresenter {
  public:
    void showAlert(QWidget*, const QString& title, const QString& message) override {
        shown.push_back({title, message});
    }
    void showReport(QWidget*, const QString& title, const QString& message,
                    const QString& details) override {
        reports.push_back({title, message, details});
    }
    std::vector<RecordedAlert> shown;
    std::vector<RecordedReport> reports;
};

class ScriptedPanels final : public FilePanels {
  public:
    std::optional<QString> chooseFileToOpen(QWidget*, const OpenPanelOptions& options) override {
        openOptions.push_back(options);
        if (openAnswers.empty()) {
            return std::nullopt;
        }
        const QString path = openAnswers.front();
        openAnswers.pop_front();
        return path;
    }
    std::optional<SavePanelChoice> chooseFileToSave(QWidget*,
                                                    const SavePanelOptions& options) override {
        saveOptions.push_back(options);
        if (saveAnswers.empty()) {
            return std::nullopt;
        }
        const SavePanelChoice choice = saveAnswers.front();
        saveAnswers.pop_front();
        return choice;
    }
    std::optional<QString> chooseFolder(QWidget*, const QString& title) override {
        folderTitles.push_back(title);
        if (folderAnswers.empty()) {
            return std::nullopt;
        }
        const QString folder = folderAnswers.front();
        folderAnswers.pop_front();
        return folder;
    }

    // Answers in order; once they run out, the user cancels.
    std::deque<QString> openAnswers;
    std::deque<SavePanelChoice> saveAnswers;
    std::deque<QString> folderAnswers;
    std::vector<QString> folderTitles;
    std::vector<OpenPanelOptions> openOptions;
    std::vector<SavePanelOptions> saveOptions;
};

class RecordingPasteboard final : public Pasteboard {
  public:
    void setString(const QString& text) override { strings.push_back(text); }
    std::vector<QString> strings;
};

}  // namespace vane
