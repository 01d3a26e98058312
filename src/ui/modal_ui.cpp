#include "ui/modal_ui.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QUrl>

#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/custom_grid_dialog.h"
#include "ui/dialogs/export_options_dialog.h"
#include "ui/dialogs/html_page_options_dialog.h"
#include "ui/dialogs/jpeg_quality_dialog.h"
#include "ui/dialogs/merge_options_dialog.h"
#include "ui/dialogs/new_page_dialog.h"
#include "ui/dialogs/record_dialog.h"
#include "ui/dialogs/sort_options_dialog.h"
#include "ui/display_options.h"

namespace pelmora::ui {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void Prepare(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.title);
    dialog.setDirectory(request.folder);
    // Each filter's visible text is the program's own; the patterns are in the hidden part.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontResolveSymlinks, false);
    const QStringList filters = QtNameFilters(request.filters);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
}

}  // namespace

QStringList QtNameFilters(const std::vector<FileFilter>& filters) {
    QStringList out;
    for (const FileFilter& f : filters) {
        QString patterns = f.patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(f.description, patterns);
    }
    return out;
}

QString ProgramCaption() {
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("pelmora") : QFileInfo(path).fileName();
}

QString QtModalUi::OpenFile(const FileDialogRequest& request) {
    QFileDialog dialog(Owner());
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QStringList QtModalUi::OpenFiles(const FileDialogRequest& request) {
    QFileDialog dialog(Owner());
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString QtModalUi::SaveFile(const FileDialogRequest& request) {
    QFileDialog dialog(Owner());
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension takes the one of the filter the user picked (the
    // records dialogs offer ".rec" and ".json"), not always the first filter's.
    if (!request.defaultSuffix.isEmpty()) {
        const QStringList filters = QtNameFilters(request.filters);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &request, filters](const QString& chosen) {
                             // The signal carries the visible text: the description alone.
                             for (size_t i = 0; i < request.filters.size(); ++i) {
                                 const FileFilter& f = request.filters[i];
                                 if (chosen != f.description && chosen != filters[i]) continue;
                                 if (f.patterns.startsWith(QStringLiteral("*.")) &&
                                     !f.patterns.contains(QLatin1Char(';')))
                                     dialog.setDefaultSuffix(f.patterns.mid(2));
                                 return;
                             }
                         });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void QtModalUi::Message(const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), caption.isEmpty() ? ProgramCaption() : caption, text,
                    QMessageBox::Ok, Owner());
    box.exec();
}

QMessageBox::StandardButton QtModalUi::Ask(const QString& text, const QString& caption,
                                           MessageIcon icon, QMessageBox::StandardButtons buttons) {
    QMessageBox box(BoxIcon(icon), caption.isEmpty() ? ProgramCaption() : caption, text, buttons,
                    Owner());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QColor> QtModalUi::ChooseColour(const QColor& initial,
                                              std::array<Colour, 16>& customColours) {
    for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, ToQColor(customColours[i]));
    QColorDialog dialog(initial, Owner());
    // Qt's own chooser: a desktop's chooser may not show the custom colours that every
    // colour dialog of the program shares.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    for (int i = 0; i < 16; ++i) customColours[i] = FromQColor(QColorDialog::customColor(i));
    return dialog.selectedColor();
}

std::optional<QFont> QtModalUi::ChooseFont(const QFont& initial) {
    // The chooser lists only installed families: a font asked for by a name the system
    // lacks ("Arial") would open on the list's first entry with its first style, not on
    // what is drawn. Open on the family in use instead.
    QFont shown = initial;
    shown.setFamily(QFontInfo(initial).family());
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, shown, Owner());
    if (!ok) return std::nullopt;
    return font;
}

std::optional<int> QtModalUi::AskCustomGrid(const QString& label, int value) {
    CustomGridDialog dialog(label, value, Owner());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Value();
}

void QtModalUi::ShowAbout() {
    AboutDialog::ShowAbout(Owner());
}

int QtModalUi::AskMergeShift(int presetShift) {
    return MergeOptionsDialog::Ask(presetShift, this, Owner());
}

std::optional<int> QtModalUi::AskSortOrder(int current) {
    SortOptionsDialog dialog(current, Owner());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

int QtModalUi::AskJpegQuality(int quality) {
    return JpegQualityDialog::Ask(quality, this, Owner());
}

std::optional<NewPageOptions> QtModalUi::AskNewPages(Colour colour,
                                                     std::array<Colour, 16>& customColours,
                                                     const QString& folder) {
    NewPageDialog dialog(colour, customColours, *this, folder, Owner());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Options();
}

std::optional<RecordFields> QtModalUi::AskRecord(const QString& title, const RecordFields& fields,
                                                 int pageCount) {
    RecordDialog dialog(title, fields, pageCount, true, this, Owner());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Fields();
}

bool QtModalUi::OpenWithShell(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtModalUi::OpenAddress(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

QString QtModalUi::ChooseFolder(const QString& folder) {
    QFileDialog dialog(Owner(), QStringLiteral("Choose folder"), folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Select"));
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    // With nothing picked inside it, the folder being shown is the answer.
    return chosen.isEmpty() ? dialog.directory().absolutePath() : chosen.front();
}

ExportDialogAnswer QtModalUi::AskExportOptions(const ExportOptions& current, bool htmlAllowed,
                                               std::array<Colour, 16>& customColours) {
    ExportOptionsDialog dialog(current, htmlAllowed, customColours, *this, Owner());
    ExportDialogAnswer answer;
    answer.confirmed = dialog.exec() == QDialog::Accepted;
    answer.options = dialog.Options();
    return answer;
}

std::optional<GallerySettings> QtModalUi::AskHtmlOptions(const GallerySettings& current,
                                                         std::array<Colour, 16>& customColours) {
    HtmlPageOptionsDialog dialog(current, customColours, *this, Owner());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Settings();
}

}  // namespace pelmora::ui
