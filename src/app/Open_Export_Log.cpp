#include "app/Open_Export_Log.h"

#include "common/FileHelpers.h"
#include "common/Prompt.h"
#include "common/ui/GuiPrompt.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

Open_Export_Log::Opener& currentOpener() {
    static Open_Export_Log::Opener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

} // namespace

Open_Export_Log::Open_Export_Log(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Export"));
    _open_log_message = new QLabel(this);
    _open_log_message->setWordWrap(true);
    _open_log_path = new QLabel(this);
    _open_log_path->setWordWrap(true);
    _open_log_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    _open_log_chk = new QCheckBox(this);
    _open_log_chk->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    _details_btn = buttons->addButton(tr("Show Details..."), QDialogButtonBox::ActionRole);
    _details_btn->setVisible(false);
    connect(_details_btn, &QPushButton::clicked, this,
            [this] { showMessageDetails(_open_log_message->text(), _details); });
    connect(buttons, &QDialogButtonBox::accepted, this, &Open_Export_Log::OKPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &Open_Export_Log::CancelPressed);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_open_log_message);
    layout->addWidget(_open_log_path);
    layout->addWidget(_open_log_chk);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void Open_Export_Log::setOpener(Opener opener) {
    currentOpener() =
        opener ? std::move(opener) : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); });
}

QString Open_Export_Log::checkBoxTitle(const QString& path) {
    return QFileInfo(path).isDir() ? QStringLiteral("Open containing folder.")
                                   : QStringLiteral("Open exported file.");
}

QUrl Open_Export_Log::openTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() || !info.isFile())
        return QUrl::fromLocalFile(info.absoluteFilePath());
    const QByteArray real = QImageReader::imageFormat(path);
    const QString suffix = info.suffix().toLower();
    const bool suffixMatches = real.isEmpty() || suffix == QLatin1String(real) ||
                               (real == "jpeg" && suffix == QLatin1String("jpg")) ||
                               (real == "tiff" && suffix == QLatin1String("tif"));
    if (suffixMatches)
        return QUrl::fromLocalFile(info.absoluteFilePath());
    // A private folder of this run, removed when the program ends: no copies are left behind, and no other
    // user can place a file or link where the copy goes.
    static QTemporaryDir copies(QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                                    .filePath(QStringLiteral("navu-export-XXXXXX")));
    if (!copies.isValid()) {
        Show_NSLog_Message(QStringLiteral("Cannot make a temporary folder: %1").arg(copies.errorString()));
        return QUrl::fromLocalFile(info.absoluteFilePath());
    }
    const QString folder = copies.path();
    const QString copy =
        QDir(folder).filePath(info.completeBaseName() + QLatin1Char('.') + QLatin1String(real));
    QFile::remove(copy);
    if (!QFile::copy(path, copy)) {
        Show_NSLog_Message(QStringLiteral("Cannot copy %1 to %2").arg(path, copy));
        return QUrl::fromLocalFile(info.absoluteFilePath());
    }
    return QUrl::fromLocalFile(copy);
}

void Open_Export_Log::prepare(const QString& path, const QString& message, bool written,
                              const QString& details) {
    _path = path;
    _written = written;
    _details = details;
    _details_btn->setVisible(!details.isEmpty());
    _open_log_path->setText(path);
    // A message that lists the files written names this one already.
    _open_log_path->setVisible(!written || !message.contains(QDir::toNativeSeparators(path)));
    if (written) {
        _open_log_message->setText(message);
        _open_log_chk->setText(checkBoxTitle(path));
        _open_log_chk->setVisible(true);
    } else {
        // The export's own text may announce success; the window tells what really happened.
        _open_log_message->setText(QStringLiteral("Frame could not be exported."));
        _open_log_chk->setVisible(false);
    }
}

int Open_Export_Log::runModal() {
    const int code = exec();
    hide();
    return code;
}

void Open_Export_Log::OKPressed() {
    if (_written && _open_log_chk->isChecked() && !_path.isEmpty()) {
        if (!currentOpener()(openTarget(_path)))
            Show_MessageBox(noProgramMessage(_path));
    }
    _open_log_chk->setChecked(true);
    done(1);
}

void Open_Export_Log::CancelPressed() {
    _open_log_chk->setChecked(true);
    done(0);
}

void Open_Export_Log::reject() {
    CancelPressed();
}
