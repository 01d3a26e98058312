// What the editor remembers of the user's last session besides the settings file: the
// recent files, the folders of the file dialogs and the export options. They live in an
// ini file of their own so that the settings file keeps its fixed layout.
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "ui/main_window.h"

namespace pelmora::ui {

namespace {

constexpr int kMaxRecentFiles = 8;

// The same file reached by two spellings is one entry.
QString RecentKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void ReadString(const QSettings& ini, const QString& key, std::string& value) {
    const QString text = ini.value(key).toString();
    if (!text.isEmpty()) value = text.toStdString();
}

void ReadInt(const QSettings& ini, const QString& key, int& value) {
    bool ok = false;
    const int number = ini.value(key).toInt(&ok);
    if (ok) value = number;
}

void ReadColour(const QSettings& ini, const QString& key, Colour& value) {
    bool ok = false;
    const uint number = ini.value(key).toUInt(&ok);
    if (ok) value = static_cast<Colour>(number & 0xFFFFFF);
}

void ReadBool(const QSettings& ini, const QString& key, bool& value) {
    if (ini.contains(key)) value = ini.value(key).toBool();
}

}  // namespace

QString MainWindow::SessionPath() const {
    return QFileInfo(settingsPath_).dir().filePath(QStringLiteral("pelmora.ini"));
}

void MainWindow::LoadSession() {
    const QSettings ini(SessionPath(), QSettings::IniFormat);
    remembered_.recentFiles.clear();
    for (const QString& path : ini.value(QStringLiteral("Recent/files")).toStringList()) {
        if (path.isEmpty() || remembered_.recentFiles.contains(RecentKey(path))) continue;
        if (remembered_.recentFiles.size() == kMaxRecentFiles) break;
        remembered_.recentFiles << RecentKey(path);
    }
    RebuildRecentMenu();

    ReadString(ini, QStringLiteral("Folders/wad"), session_.rememberedWadFolder);
    ReadString(ini, QStringLiteral("Folders/pieces"), remembered_.pieceFolder);
    ReadString(ini, QStringLiteral("Folders/records"), remembered_.recordsFolder);
    ReadString(ini, QStringLiteral("Folders/pages"), remembered_.pageFolder);
    ReadString(ini, QStringLiteral("Folders/singleImage"), remembered_.singleImageFolder);
    ReadString(ini, QStringLiteral("Folders/last"), remembered_.lastFolder);
    ReadString(ini, QStringLiteral("Export/folder"), remembered_.exportSettings.folder);

    // A format this build does not know leaves the default.
    const ImageFormat format =
        FormatFromExtension(ini.value(QStringLiteral("Export/format")).toString().toStdString());
    if (format != ImageFormat::Unknown) remembered_.exportSettings.format = format;
    int quality = remembered_.jpegQuality;
    ReadInt(ini, QStringLiteral("Export/jpegQuality"), quality);
    if (quality >= 1 && quality <= 100) remembered_.jpegQuality = quality;
    ReadBool(ini, QStringLiteral("Export/saveHtmlPage"), remembered_.exportSettings.saveHtmlPage);

    GallerySettings& g = remembered_.exportSettings.gallery;
    ReadInt(ini, QStringLiteral("Gallery/width"), g.width);
    ReadInt(ini, QStringLiteral("Gallery/cellPadding"), g.cellPadding);
    ReadInt(ini, QStringLiteral("Gallery/cellSpacing"), g.cellSpacing);
    ReadInt(ini, QStringLiteral("Gallery/borderSize"), g.borderSize);
    ReadColour(ini, QStringLiteral("Gallery/tableColour"), g.tableColour);
    ReadInt(ini, QStringLiteral("Gallery/columns"), g.columns);
    ReadInt(ini, QStringLiteral("Gallery/cellAlignment"), g.cellAlignment);
    ReadColour(ini, QStringLiteral("Gallery/cellColour"), g.cellColour);
    ReadBool(ini, QStringLiteral("Gallery/specifyWidth"), g.specifyWidth);
    ReadBool(ini, QStringLiteral("Gallery/widthInPercent"), g.widthInPercent);
}

void MainWindow::SaveSession() const {
    QSettings ini(SessionPath(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Recent/files"), remembered_.recentFiles);

    const auto write = [&ini](const char* key, const std::string& value) {
        ini.setValue(QLatin1String(key), QString::fromStdString(value));
    };
    write("Folders/wad", session_.rememberedWadFolder);
    write("Folders/pieces", remembered_.pieceFolder);
    write("Folders/records", remembered_.recordsFolder);
    write("Folders/pages", remembered_.pageFolder);
    write("Folders/singleImage", remembered_.singleImageFolder);
    write("Folders/last", remembered_.lastFolder);
    write("Export/folder", remembered_.exportSettings.folder);
    write("Export/format", ExtensionForFormat(remembered_.exportSettings.format));
    ini.setValue(QStringLiteral("Export/jpegQuality"), remembered_.jpegQuality);
    ini.setValue(QStringLiteral("Export/saveHtmlPage"), remembered_.exportSettings.saveHtmlPage);

    const GallerySettings& g = remembered_.exportSettings.gallery;
    ini.setValue(QStringLiteral("Gallery/width"), g.width);
    ini.setValue(QStringLiteral("Gallery/cellPadding"), g.cellPadding);
    ini.setValue(QStringLiteral("Gallery/cellSpacing"), g.cellSpacing);
    ini.setValue(QStringLiteral("Gallery/borderSize"), g.borderSize);
    ini.setValue(QStringLiteral("Gallery/tableColour"), static_cast<uint>(g.tableColour));
    ini.setValue(QStringLiteral("Gallery/columns"), g.columns);
    ini.setValue(QStringLiteral("Gallery/cellAlignment"), g.cellAlignment);
    ini.setValue(QStringLiteral("Gallery/cellColour"), static_cast<uint>(g.cellColour));
    ini.setValue(QStringLiteral("Gallery/specifyWidth"), g.specifyWidth);
    ini.setValue(QStringLiteral("Gallery/widthInPercent"), g.widthInPercent);
    ini.sync();
}

void MainWindow::NoteRecentFile(const QString& path) {
    const QString key = RecentKey(path);
    remembered_.recentFiles.removeAll(key);
    remembered_.recentFiles.prepend(key);
    while (remembered_.recentFiles.size() > kMaxRecentFiles) remembered_.recentFiles.removeLast();
    RebuildRecentMenu();
}

void MainWindow::ForgetRecentFile(const QString& path) {
    if (remembered_.recentFiles.removeAll(RecentKey(path)) > 0) RebuildRecentMenu();
}

void MainWindow::RebuildRecentMenu() {
    if (!recentMenu_) return;  // the menus are not built yet
    recentMenu_->clear();
    for (int i = 0; i < remembered_.recentFiles.size(); ++i) {
        const QString& path = remembered_.recentFiles.at(i);
        QAction* action = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        const QString shown = QDir::toNativeSeparators(path);
        action->setToolTip(shown);
        action->setStatusTip(shown);
        connect(action, &QAction::triggered, this, [this, path] { OpenRecentCommand(path); });
    }
    recentMenu_->setEnabled(actions_.open->isEnabled());
}

void MainWindow::OpenRecentCommand(const QString& path) {
    if (IsWorking()) return;
    if (!MayLetProjectGo()) return;
    NoteFolder(path.toStdString());
    OpenFile(path);
}

}  // namespace pelmora::ui
