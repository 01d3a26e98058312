#pragma once

#include <deque>
#include <functional>

#include "ui/modal_ui.h"

namespace pelmora::ui {

// Answers the modal parts from queues filled beforehand and records what was asked, so
// commands can run without a person. An empty queue answers "cancelled".
class ScriptedModalUi : public ModalUi {
public:
    struct ShownMessage {
        QString text;
        QString caption;
        MessageIcon icon;
    };
    enum class FileDialogKind { Open, OpenMany, Save };
    struct FileQuestion {
        FileDialogKind kind;
        FileDialogRequest request;
    };

    std::deque<QStringList> fileAnswers;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<std::optional<QColor>> colours;
    std::deque<std::optional<QFont>> fonts;
    std::deque<int> shifts;                     // empty: the dialog closed without OK
    std::deque<std::optional<int>> sortOrders;  // empty: cancelled
    bool shellOpens = true;
    std::vector<QString> shellOpened;
    std::vector<int> shiftPresets;
    std::deque<int> jpegQualities;  // empty: the dialog kept what it was given
    std::vector<int> jpegPresets;
    std::deque<std::optional<NewPageOptions>> newPages;  // empty: declined
    int newPageDialogs = 0;
    std::deque<std::optional<RecordFields>> recordAnswers;  // empty: cancelled
    std::vector<RecordFields> recordQuestions;
    std::vector<QString> recordTitles;

    std::deque<QString> folders;  // empty: cancelled
    std::vector<QString> folderStarts;
    // empty: cancelled with the folder it was given
    std::deque<ExportDialogAnswer> exportAnswers;
    std::vector<ExportOptions> exportQuestions;
    std::vector<bool> exportHtmlAllowed;
    std::deque<std::optional<GallerySettings>> htmlAnswers;  // empty: cancelled

    std::deque<std::optional<int>> customGrids;                // empty: closed without OK
    std::vector<std::pair<QString, int>> customGridQuestions;  // label and value shown
    std::vector<QColor> colourStarts;  // the colour each colour chooser opened with
    std::vector<QFont> fontStarts;
    int aboutBoxes = 0;

    std::vector<ShownMessage> messages;
    std::vector<FileQuestion> fileQuestions;
    std::vector<QString> questions;
    // Runs while a message box would be showing (the box is modal, so the caller waits).
    std::function<void(const ShownMessage&)> onMessage;

    QString OpenFile(const FileDialogRequest& request) override;
    QStringList OpenFiles(const FileDialogRequest& request) override;
    QString SaveFile(const FileDialogRequest& request) override;
    void Message(const QString& text, const QString& caption, MessageIcon icon) override;
    QMessageBox::StandardButton Ask(const QString& text, const QString& caption, MessageIcon icon,
                                    QMessageBox::StandardButtons buttons) override;
    std::optional<QColor> ChooseColour(const QColor& initial,
                                       std::array<Colour, 16>& customColours) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    int AskMergeShift(int presetShift) override;
    std::optional<int> AskSortOrder(int current) override;
    bool OpenWithShell(const QString& path) override;
    // Web addresses land in shellOpened too and answer shellOpens.
    bool OpenAddress(const QString& address) override;
    int AskJpegQuality(int quality) override;
    std::optional<NewPageOptions> AskNewPages(Colour colour, std::array<Colour, 16>& customColours,
                                              const QString& folder) override;
    std::optional<RecordFields> AskRecord(const QString& title, const RecordFields& fields,
                                          int pageCount) override;
    std::optional<int> AskCustomGrid(const QString& label, int value) override;
    void ShowAbout() override;
    QString ChooseFolder(const QString& folder) override;
    ExportDialogAnswer AskExportOptions(const ExportOptions& current, bool htmlAllowed,
                                        std::array<Colour, 16>& customColours) override;
    std::optional<GallerySettings> AskHtmlOptions(const GallerySettings& current,
                                                  std::array<Colour, 16>& customColours) override;

private:
    QStringList NextFiles(FileDialogKind kind, const FileDialogRequest& request);
};

}  // namespace pelmora::ui
