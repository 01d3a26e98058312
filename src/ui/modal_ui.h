#pragma once

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "edit/page_creation.h"
#include "edit/record_editing.h"
#include "export/bulk_export.h"
#include "base/colour.h"

namespace pelmora::ui {

// One entry of a file dialog's type list: the text the user reads and the patterns it
// stands for, separated by ';' ("*.wad;*.plm").
struct FileFilter {
    QString description;
    QString patterns;
};

struct FileDialogRequest {
    QString title;
    QString folder;
    QString proposedName;
    std::vector<FileFilter> filters;
    QString defaultSuffix;  // without the dot
};

// What the Export Options dialog hands back: every field of options when confirmed; when
// cancelled only its folder and gallery count.
struct ExportDialogAnswer {
    bool confirmed = false;
    ExportOptions options;
};

enum class MessageIcon { None, Information, Warning, Error, Question };

// Every place where the editor waits for the user: file choosers, message boxes, questions,
// colour and font choosers. The window talks to this interface only, so commands can be
// driven by a script in tests.
class ModalUi {
public:
    virtual ~ModalUi() = default;

    // The window the modal parts belong to.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    QWidget* Owner() const { return owner_; }

    // An existing file; empty when cancelled.
    virtual QString OpenFile(const FileDialogRequest& request) = 0;
    // Existing files, in the order the chooser gives them; empty when cancelled.
    virtual QStringList OpenFiles(const FileDialogRequest& request) = 0;
    // Where to write; asks before replacing a file. Empty when cancelled.
    virtual QString SaveFile(const FileDialogRequest& request) = 0;

    // An empty caption stands for the program's name.
    virtual void Message(const QString& text, const QString& caption = {},
                         MessageIcon icon = MessageIcon::None) = 0;
    virtual QMessageBox::StandardButton Ask(const QString& text, const QString& caption,
                                            MessageIcon icon,
                                            QMessageBox::StandardButtons buttons) = 0;

    // The custom colours are shown in the chooser and copied back when it is confirmed.
    virtual std::optional<QColor> ChooseColour(const QColor& initial,
                                               std::array<Colour, 16>& customColours) = 0;
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;

    // The Merging Records Options dialog: the page shift it holds when it closes.
    virtual int AskMergeShift(int presetShift) = 0;
    // The Sorting Options dialog: 0 ascending, 1 descending; nothing when cancelled.
    virtual std::optional<int> AskSortOrder(int current) = 0;
    // Opens a file with the desktop's viewer for it; false when that failed.
    virtual bool OpenWithShell(const QString& path) = 0;
    // Opens a web address in the desktop's browser; false when that failed.
    virtual bool OpenAddress(const QString& address) = 0;
    // The JPEG Compression Options dialog: the quality it holds when it closes.
    virtual int AskJpegQuality(int quality) = 0;
    // The New Page dialog, starting at colour; nothing when declined. The custom colours
    // come back from the colour chooser inside it.
    virtual std::optional<NewPageOptions> AskNewPages(Colour colour,
                                                      std::array<Colour, 16>& customColours,
                                                      const QString& folder) = 0;
    // The Texture Record dialog; nothing when cancelled.
    virtual std::optional<RecordFields> AskRecord(const QString& title, const RecordFields& fields,
                                                  int pageCount) = 0;

    // The Custom Grid Settings dialog, its field labelled label ("Across:" or "Down:") and
    // holding value; a whole number of at least 1, or nothing when it was closed otherwise.
    virtual std::optional<int> AskCustomGrid(const QString& label, int value) = 0;
    // Help > About.
    virtual void ShowAbout() = 0;

    // A folder, starting in folder; empty when cancelled.
    virtual QString ChooseFolder(const QString& folder) = 0;
    // The Export Options dialog. The folder shown comes back even when it is cancelled, and
    // so do gallery settings confirmed inside it.
    virtual ExportDialogAnswer AskExportOptions(const ExportOptions& current, bool htmlAllowed,
                                                std::array<Colour, 16>& customColours) = 0;
    // The HTML Page Options dialog; nothing when cancelled.
    virtual std::optional<GallerySettings> AskHtmlOptions(
        const GallerySettings& current, std::array<Colour, 16>& customColours) = 0;

private:
    QPointer<QWidget> owner_;
};

// The real dialogs (the platform's own where it has them).
class QtModalUi : public ModalUi {
public:
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
};

// The Qt form of a filter list: "Text (patterns)" entries whose visible part is the text
// alone once the dialog hides filter details.
QStringList QtNameFilters(const std::vector<FileFilter>& filters);

// The caption of a box that has none of its own: the program file's name.
QString ProgramCaption();

}  // namespace pelmora::ui
