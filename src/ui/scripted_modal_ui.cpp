#include "ui/scripted_modal_ui.h"

namespace pelmora::ui {

QStringList ScriptedModalUi::NextFiles(FileDialogKind kind, const FileDialogRequest& request) {
    fileQuestions.push_back({kind, request});
    if (fileAnswers.empty()) return {};
    QStringList files = fileAnswers.front();
    fileAnswers.pop_front();
    return files;
}

QString ScriptedModalUi::OpenFile(const FileDialogRequest& request) {
    const QStringList files = NextFiles(FileDialogKind::Open, request);
    return files.isEmpty() ? QString() : files.front();
}

QStringList ScriptedModalUi::OpenFiles(const FileDialogRequest& request) {
    return NextFiles(FileDialogKind::OpenMany, request);
}

QString ScriptedModalUi::SaveFile(const FileDialogRequest& request) {
    const QStringList files = NextFiles(FileDialogKind::Save, request);
    return files.isEmpty() ? QString() : files.front();
}

void ScriptedModalUi::Message(const QString& text, const QString& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
    if (onMessage) onMessage(messages.back());
}

QMessageBox::StandardButton ScriptedModalUi::Ask(const QString& text, const QString&, MessageIcon,
                                                 QMessageBox::StandardButtons) {
    questions.push_back(text);
    if (answers.empty()) return QMessageBox::Cancel;
    const QMessageBox::StandardButton answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QColor> ScriptedModalUi::ChooseColour(const QColor& initial,
                                                    std::array<Colour, 16>&) {
    colourStarts.push_back(initial);
    if (colours.empty()) return std::nullopt;
    auto colour = colours.front();
    colours.pop_front();
    return colour;
}

std::optional<QFont> ScriptedModalUi::ChooseFont(const QFont& initial) {
    fontStarts.push_back(initial);
    if (fonts.empty()) return std::nullopt;
    auto font = fonts.front();
    fonts.pop_front();
    return font;
}

std::optional<int> ScriptedModalUi::AskCustomGrid(const QString& label, int value) {
    customGridQuestions.emplace_back(label, value);
    if (customGrids.empty()) return std::nullopt;
    const std::optional<int> answer = customGrids.front();
    customGrids.pop_front();
    return answer;
}

void ScriptedModalUi::ShowAbout() {
    ++aboutBoxes;
}

int ScriptedModalUi::AskMergeShift(int presetShift) {
    shiftPresets.push_back(presetShift);
    if (shifts.empty()) return presetShift;
    const int shift = shifts.front();
    shifts.pop_front();
    return shift;
}

std::optional<int> ScriptedModalUi::AskSortOrder(int) {
    if (sortOrders.empty()) return std::nullopt;
    auto order = sortOrders.front();
    sortOrders.pop_front();
    return order;
}

int ScriptedModalUi::AskJpegQuality(int quality) {
    jpegPresets.push_back(quality);
    if (jpegQualities.empty()) return quality;
    const int chosen = jpegQualities.front();
    jpegQualities.pop_front();
    return chosen;
}

std::optional<NewPageOptions> ScriptedModalUi::AskNewPages(Colour, std::array<Colour, 16>&,
                                                           const QString&) {
    ++newPageDialogs;
    if (newPages.empty()) return std::nullopt;
    auto answer = newPages.front();
    newPages.pop_front();
    return answer;
}

std::optional<RecordFields> ScriptedModalUi::AskRecord(const QString& title,
                                                       const RecordFields& fields, int) {
    recordTitles.push_back(title);
    recordQuestions.push_back(fields);
    if (recordAnswers.empty()) return std::nullopt;
    auto answer = recordAnswers.front();
    recordAnswers.pop_front();
    return answer;
}

QString ScriptedModalUi::ChooseFolder(const QString& folder) {
    folderStarts.push_back(folder);
    if (folders.empty()) return {};
    QString chosen = folders.front();
    folders.pop_front();
    return chosen;
}

ExportDialogAnswer ScriptedModalUi::AskExportOptions(const ExportOptions& current, bool htmlAllowed,
                                                     std::array<Colour, 16>&) {
    exportQuestions.push_back(current);
    exportHtmlAllowed.push_back(htmlAllowed);
    if (exportAnswers.empty()) return {false, current};
    ExportDialogAnswer answer = exportAnswers.front();
    exportAnswers.pop_front();
    return answer;
}

std::optional<GallerySettings> ScriptedModalUi::AskHtmlOptions(const GallerySettings&,
                                                               std::array<Colour, 16>&) {
    if (htmlAnswers.empty()) return std::nullopt;
    auto answer = htmlAnswers.front();
    htmlAnswers.pop_front();
    return answer;
}

bool ScriptedModalUi::OpenWithShell(const QString& path) {
    shellOpened.push_back(path);
    return shellOpens;
}

bool ScriptedModalUi::OpenAddress(const QString& address) {
    return OpenWithShell(address);
}

}  // namespace pelmora::ui
