#include "TestPictures.h"
#include "FileBytes.h"
#include "RecordingPrompt.h"
#include "common/FileHelpers.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ResourceSetup.h"
#include "common/SafeFileName.h"
#include "SmallDisk.h"

#include <QImage>
#include <QImageReader>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

} // namespace

class TestFileHelpers : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        root = tmp->path();
        setPromptHandler(&prompt);
        prompt.texts.clear();
        prompt.answer = false;
    }
    void cleanup()
    {
        setPromptHandler(nullptr);
        setUrlOpener({});
        setResourcePath(QString());
        tmp.reset();
    }

    void containment_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("inside");
        QTest::newRow("plain") << QString("a.txt") << true;
        QTest::newRow("sub folder") << QString("sub/a.txt") << true;
        QTest::newRow("new sub folder") << QString("new/deeper/a.txt") << true;
        QTest::newRow("inner dotdot") << QString("sub/../a.txt") << true;
        QTest::newRow("parent") << QString("../x") << false;
        QTest::newRow("deep parent") << QString("sub/../../x") << false;
        QTest::newRow("absolute") << QString("/etc/passwd") << false;
        QTest::newRow("folder itself") << QString(".") << false;
        QTest::newRow("empty") << QString("") << false;
    }
    void containment()
    {
        QFETCH(QString, name);
        QFETCH(bool, inside);
        QVERIFY(QDir(root).mkpath("box/sub"));
        const QString folder = root + "/box";
        const QString path = pathInsideFolder(folder, name);
        QCOMPARE(!path.isEmpty(), inside);
        if (inside)
            QVERIFY(path.startsWith(QFileInfo(folder).canonicalFilePath() + "/"));
    }

    void symlinkEscapes()
    {
        QVERIFY(QDir(root).mkpath("box"));
        QVERIFY(QDir(root).mkpath("outside"));
        writeBytes(root + "/outside/secret.txt", "x");
        const QString box = root + "/box";
        QVERIFY(QFile::link(root + "/outside", box + "/linkdir"));
        QVERIFY(QFile::link(root + "/outside/secret.txt", box + "/linkfile.txt"));
        QVERIFY(QFile::link(root + "/outside/not-yet.txt", box + "/dangling.txt"));
        QVERIFY(QFile::link(box + "/inner.txt", box + "/innerlink.txt"));
        writeBytes(box + "/inner.txt", "y");

        QVERIFY(pathInsideFolder(box, "linkdir/new.txt").isEmpty());
        QVERIFY(pathInsideFolder(box, "linkdir/secret.txt").isEmpty());
        QVERIFY(pathInsideFolder(box, "linkfile.txt").isEmpty());
        QVERIFY(pathInsideFolder(box, "dangling.txt").isEmpty());
        QVERIFY(!pathInsideFolder(box, "innerlink.txt").isEmpty());
        // The folder itself reached through a link is fine.
        QVERIFY(QFile::link(box, root + "/boxlink"));
        QVERIFY(!pathInsideFolder(root + "/boxlink", "a.txt").isEmpty());
    }

    void safeFilePathReasons()
    {
        QString why;
        QCOMPARE(safeFilePath(root, "Guests", ".txt", &why), QFileInfo(root).canonicalFilePath() + "/Guests.txt");
        QVERIFY(why.isEmpty());
        for (const QString& bad : {QString("../x"), QString("a/b"), QString(".hidden"), QString("")}) {
            QVERIFY2(safeFilePath(root, bad, ".txt", &why).isEmpty(), qPrintable(bad));
            QVERIFY(!why.isEmpty());
        }
        QVERIFY(safeFilePath(root, "a", "/../../x", &why).isEmpty());
        QVERIFY(safeFilePath(root + "/missing", "a", ".txt", &why).isEmpty());
    }

    void workingFoldersAre0755()
    {
        const mode_t old = ::umask(0);
        setResourcePath(root + "/res/deeper");
        const bool ok = Check_Path_And_Create_Files();
        ::umask(old);
        QVERIFY(ok);
        QCOMPARE(Data_Folder_Path, Resource_Path + "/DataSet");
        for (const char* sub : {"", "/DataSet", "/Frames", "/Fill_Style_Image", "/LibraryImage", "/Templates",
                                "/Templates/User"}) {
            const QString path = Resource_Path + sub;
            QVERIFY2(QFileInfo(path).isDir(), qPrintable(path));
            QCOMPARE(modeOf(path), mode_t(0755));
        }
        // An existing folder keeps its own mode.
        QVERIFY(QFile::setPermissions(Resource_Path + "/Frames", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                       QFileDevice::ExeOwner));
        QVERIFY(Check_Path_And_Create_Files());
        QCOMPARE(modeOf(Resource_Path + "/Frames"), mode_t(0700));
        // A file where a folder belongs is reported, not replaced.
        QVERIFY(QDir(Resource_Path + "/LibraryImage").removeRecursively());
        writeBytes(Resource_Path + "/LibraryImage", "user data");
        QVERIFY(!Check_Path_And_Create_Files());
        QCOMPARE(readBytes(Resource_Path + "/LibraryImage"), QByteArray("user data"));
    }

    void resourceCopyKeepsUserFiles()
    {
        const QString shipped = root + "/shipped";
        QVERIFY(QDir(shipped).mkpath("Frames"));
        QVERIFY(QDir(shipped).mkpath("Templates/Ready"));
        writeBytes(shipped + "/no.png", "shipped no");
        writeBytes(shipped + "/Frames/f1.png", "shipped frame");
        writeBytes(shipped + "/Templates/Ready/t.kvto", "shipped template");

        const QString user = root + "/user";
        QVERIFY(QDir(user).mkpath("Frames"));
        writeBytes(user + "/Frames/f1.png", "my own frame");

        QCOMPARE(copyMissingResources(shipped, user), 2);
        QCOMPARE(readBytes(user + "/Frames/f1.png"), QByteArray("my own frame"));
        QCOMPARE(readBytes(user + "/no.png"), QByteArray("shipped no"));
        QCOMPARE(readBytes(user + "/Templates/Ready/t.kvto"), QByteArray("shipped template"));

        // A second start copies nothing and keeps a file the user changed since.
        writeBytes(user + "/no.png", "changed by user");
        QCOMPARE(copyMissingResources(shipped, user), 0);
        QCOMPARE(readBytes(user + "/no.png"), QByteArray("changed by user"));
        // A deleted file comes back.
        QVERIFY(QFile::remove(user + "/Templates/Ready/t.kvto"));
        QCOMPARE(copyMissingResources(shipped, user), 1);
        QCOMPARE(copyMissingResources(root + "/nowhere", user), -1);
        // Never into the shipped folder itself.
        QCOMPARE(copyMissingResources(shipped, shipped + "/Frames/inner"), -1);
        QVERIFY(!QFileInfo::exists(shipped + "/Frames/inner"));
        // Hidden files (e.g. .gitkeep) stay behind.
        writeBytes(shipped + "/Frames/.gitkeep", "");
        QCOMPARE(copyMissingResources(shipped, user), 0);
        QVERIFY(!QFileInfo::exists(user + "/Frames/.gitkeep"));
    }

    // A name at both bounds really makes a file, extension and the atomic write's temporary name included.
    void longestNameIsWritable()
    {
        QImage image = filledImage(QSize(2, 2), Qt::blue, QImage::Format_RGB32);
        for (const QString& name : {QString(kMaxFileNameLength, 'n'), QString(66, QChar(0x5A5A))}) {
            QVERIFY(isSafeFileName(name));
            const QString path = safeFilePath(root, name, ".kvto");
            QVERIFY(!path.isEmpty());
            QVERIFY(Save_gen_image(image, path));
            QVERIFY(QFileInfo(path).isFile());
        }
        QVERIFY(prompt.texts.isEmpty());
    }

    void setupFromEnvironment()
    {
        const QString shipped = root + "/shipped";
        QVERIFY(QDir(shipped).mkpath("."));
        writeBytes(shipped + "/Help.pdf", "%PDF-1.4");
        qputenv("NAVU_RESOURCE_PATH", QFile::encodeName(root + "/appdata"));
        qputenv("NAVU_SHIPPED_RESOURCES", QFile::encodeName(shipped));
        setResourcePath(QString());
        const bool ok = setupResources();
        qunsetenv("NAVU_RESOURCE_PATH");
        qunsetenv("NAVU_SHIPPED_RESOURCES");
        QVERIFY(ok);
        QCOMPARE(Resource_Path, root + "/appdata");
        QVERIFY(QFileInfo(Data_Folder_Path).isDir());
        QVERIFY(QFileInfo(Resource_Path + "/Templates/User").isDir());
        QCOMPARE(readBytes(Resource_Path + "/Help.pdf"), QByteArray("%PDF-1.4"));
    }

    void deleteFile()
    {
        writeBytes(root + "/f.txt", "x");
        QVERIFY(QDir(root).mkpath("d/e"));
        writeBytes(root + "/d/e/g.txt", "x");
        QVERIFY(Delete_File(root + "/f.txt"));
        QVERIFY(!QFile::exists(root + "/f.txt"));
        QVERIFY(Delete_File(root + "/d"));
        QVERIFY(!QFile::exists(root + "/d"));
        QVERIFY(Delete_File(root + "/never-there"));
        QVERIFY(Delete_File(QString()));
    }

    void deleteLinkKeepsTarget()
    {
        QVERIFY(QDir(root).mkpath("target"));
        writeBytes(root + "/target/keep.txt", "x");
        QVERIFY(QFile::link(root + "/target", root + "/link"));
        QVERIFY(Delete_File(root + "/link"));
        QVERIFY(!QFileInfo(root + "/link").isSymLink());
        QVERIFY(QFile::exists(root + "/target/keep.txt"));
    }

    void validatePath_data()
    {
        QTest::addColumn<QString>("path"); // "@" stands for the temporary folder
        QTest::addColumn<int>("result");
        QTest::newRow("folder") << QString("@") << 0;
        QTest::newRow("file with blanks around") << QString("  @/a.xlsx \n") << 0;
        QTest::newRow("missing") << QString("@/missing.xlsx") << 1;
        QTest::newRow("empty") << QString("") << 1;
        QTest::newRow("blank") << QString(" \t ") << 1;
    }
    void validatePath()
    {
        QFETCH(QString, path);
        QFETCH(int, result);
        writeBytes(root + "/a.xlsx", "x");
        path.replace("@", root);
        QCOMPARE(Check_And_Validate_File_Path(path), result);
        QCOMPARE(prompt.texts,
                 result ? QStringList{QStringLiteral("Please select valid file path.")} : QStringList{});
    }

    void convertUrl()
    {
        QCOMPARE(Convert_Path_From_URL(QUrl::fromLocalFile("/tmp/a b/c.png")), QString("/tmp/a b/c.png"));
        QCOMPARE(Convert_Path_From_URL(QUrl("file:///tmp/%C3%A4.png")), QString::fromUtf8("/tmp/ä.png"));
        QCOMPARE(Convert_Path_From_URL(QUrl("https://example.com/x")), QString());
    }

    void helpFile()
    {
        QList<QUrl> opened;
        setUrlOpener([&](const QUrl& u) {
            opened << u;
            return true;
        });
        setResourcePath(root);
        Open_Help_File();
        QCOMPARE(prompt.texts, QStringList{QStringLiteral("Help file does not exist!")});
        QVERIFY(opened.isEmpty());

        prompt.texts.clear();
        writeBytes(root + "/Help.pdf", "%PDF-1.4");
        Open_Help_File();
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(root).absoluteFilePath() + "/Help.pdf")});
    }

    void saveImageWritesPng_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << QString("card.png");
        QTest::newRow("jpeg") << QString("NAVUFrame.jpeg");
        QTest::newRow("no extension") << QString("card");
    }
    void saveImageWritesPng()
    {
        QFETCH(QString, name);
        QImage image = filledImage(QSize(37, 21), QColor(10, 200, 30, 128));
        const QString path = root + "/" + name;
        writeBytes(path, "old contents");
        QVERIFY(Save_gen_image(image, path));
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(readBytes(path).left(8), QByteArray("\x89PNG\r\n\x1a\n"));
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        const QImage back = reader.read();
        QCOMPARE(back.size(), image.size());
        QCOMPARE(back.pixelColor(5, 5), image.pixelColor(5, 5));
        QCOMPARE(QDir(root).entryList(QDir::Files), QStringList{name}); // no temporary left behind
    }

    void saveImageFailureKeepsOldFile()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QVERIFY(QDir(root).mkpath("locked"));
        const QString path = root + "/locked/card.png";
        writeBytes(path, "previous export");
        QVERIFY(QFile::setPermissions(root + "/locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QImage image = filledImage(QSize(8, 8), Qt::red, QImage::Format_RGB32);
        const bool ok = Save_gen_image(image, path);
        QFile::setPermissions(root + "/locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!ok);
        QCOMPARE(readBytes(path), QByteArray("previous export"));
        QCOMPARE(prompt.texts.size(), 2);
        QCOMPARE(prompt.texts.at(0), path);
        QVERIFY(!prompt.texts.at(1).isEmpty());
    }

    // A write that fails half way (here: the file size limit, which binds root too) leaves the old file.
    void saveImageFailureMidWrite()
    {
        const QString path = root + "/card.png";
        writeBytes(path, "previous export");
        QImage image(300, 300, QImage::Format_RGB32);
        quint32 seed = 12345;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                seed = seed * 1103515245u + 12345u;
                image.setPixel(x, y, seed);
            }
        struct rlimit old {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = Save_gen_image(image, path);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok);
        QCOMPARE(readBytes(path), QByteArray("previous export"));
        QCOMPARE(prompt.texts.size(), 2);
        QCOMPARE(prompt.texts.at(0), path);
        QCOMPARE(QDir(root).entryList(QDir::Files), QStringList{"card.png"});
    }

    void saveNullImage()
    {
        const QString path = root + "/card.png";
        writeBytes(path, "previous export");
        QVERIFY(!Save_gen_image(QImage(), path));
        QCOMPARE(readBytes(path), QByteArray("previous export"));
        QCOMPARE(prompt.texts, (QStringList{path, QStringLiteral("Invalid image")}));
    }

    // What a written file's mode is: a new one follows the umask, a replaced one keeps its own permissions but
    // never set-id or world-write bits, also when the path is a link to someone's 0666 file.
    void writtenFileModes_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("existing"); // -1: no file yet
        QTest::addColumn<bool>("viaLink");
        QTest::addColumn<int>("expected");
        QTest::newRow("new, umask 022") << 022 << -1 << false << 0644;
        QTest::newRow("new, umask 077") << 077 << -1 << false << 0600;
        QTest::newRow("replaced 0640") << 022 << 0640 << false << 0640;
        QTest::newRow("replaced 0666") << 022 << 0666 << false << 0664;
        QTest::newRow("replaced set-user-id") << 022 << 04755 << false << 0755;
        QTest::newRow("over a link to a 0666 file") << 022 << 0666 << true << 0664;
    }
    void writtenFileModes()
    {
        QFETCH(int, mask);
        QFETCH(int, existing);
        QFETCH(bool, viaLink);
        QImage image = filledImage(QSize(2, 2), Qt::red, QImage::Format_RGB32);
        const std::function<bool(const QString&)> writers[] = {
            [&image](const QString& p) { return Save_gen_image(image, p); },
            [](const QString& p) { return writeFileAtomically(p, "bytes", nullptr); }};
        int n = 0;
        for (const auto& write : writers) {
            const QString path = root + QString("/mode%1.png").arg(n++);
            const QString target = viaLink ? path + ".target" : path;
            if (existing >= 0) {
                writeBytes(target, "old");
                QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(existing)), 0);
                if (viaLink)
                    QVERIFY(QFile::link(target, path));
            }
            const mode_t old = ::umask(mode_t(mask));
            const bool ok = write(path);
            ::umask(old);
            QVERIFY(ok);
            QTEST(int(modeOf(path)), "expected");
        }
    }

    // Links in a sticky world-writable folder are followed only as the kernel's protected_symlinks rule
    // allows, by every writer, on every link of a chain or a folder on the way. Other owners need root.
    void linksInSharedFolders_data()
    {
        const int me = int(::geteuid()), nobody = 65534;
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("folderOwner");
        QTest::addColumn<int>("linkOwner");
        QTest::addColumn<int>("asUid");
        QTest::addColumn<QString>("shape"); // file, folder on the way, chain from own link, via own link, relative, odd name
        QTest::addColumn<bool>("followed");
        QTest::newRow("another's link, sticky shared folder") << 01777 << me << nobody << me << "file" << false;
        QTest::newRow("own link, sticky shared folder") << 01777 << me << me << me << "file" << true;
        QTest::newRow("another's link, folder not sticky") << 0777 << me << nobody << me << "file" << true;
        QTest::newRow("another's link, sticky not world-writable") << 01775 << me << nobody << me << "file" << true;
        QTest::newRow("the folder owner's link") << 01777 << nobody << nobody << me << "file" << true;
        QTest::newRow("another's folder link on the way") << 01777 << me << nobody << me << "folder" << false;
        QTest::newRow("own link to another's link") << 01777 << me << nobody << me << "chain" << false;
        QTest::newRow("shared folder through own link") << 01777 << me << nobody << me << "via" << false;
        QTest::newRow("relative path") << 01777 << me << nobody << me << "relative" << false;
        QTest::newRow("relative path, own link") << 01777 << me << me << me << "relative" << true;
        QTest::newRow("odd name") << 01777 << me << nobody << me << "odd" << false;
        const int other = 4242;
        QTest::newRow("as another user: the folder owner's link") << 01777 << me << me << other << "file" << true;
        QTest::newRow("as another user: our link") << 01777 << nobody << me << other << "file" << false;
        QTest::newRow("as another user: chain") << 01777 << nobody << me << other << "chain" << false;
        QTest::newRow("as another user: not sticky") << 0777 << nobody << me << other << "folder" << true;
    }
    void linksInSharedFolders()
    {
        QFETCH(int, folderMode);
        QFETCH(int, folderOwner);
        QFETCH(int, linkOwner);
        QFETCH(int, asUid);
        QFETCH(QString, shape);
        QFETCH(bool, followed);
        const uid_t me = ::geteuid();
        if ((uid_t(folderOwner) != me || uid_t(linkOwner) != me) && me != 0)
            QSKIP("needs root to give a link or folder another owner");
        const QString shared = root + "/shared", home = root + "/home";
        QVERIFY(QDir().mkpath(shared) && QDir().mkpath(home));
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), mode_t(folderMode)), 0);
        QCOMPARE(::lchown(QFile::encodeName(shared).constData(), uid_t(folderOwner), gid_t(-1)), 0);
        const QString victim = home + "/victim.txt";
        const QString name = shape == "odd" ? QStringLiteral("ca\nrd \u00e9%1.png") : QStringLiteral("card.png");
        const QString planted = shared + (shape == "folder" ? "/dir" : "/" + name);
        QVERIFY(QFile::link(shape == "folder" ? home : victim, planted));
        QCOMPARE(::lchown(QFile::encodeName(planted).constData(), uid_t(linkOwner), gid_t(-1)), 0);
        QString path = shape == "folder" ? planted + "/victim.txt" : planted;
        if (shape == "chain") {
            path = home + "/own-link.png";
            QVERIFY(QFile::link(planted, path));
        } else if (shape == "via") {
            QVERIFY(QFile::link(shared, home + "/shared"));
            path = home + "/shared/" + name;
        }
        const QString cwd = QDir::currentPath();
        const auto back = qScopeGuard([&] { QDir::setCurrent(cwd); });
        if (shape == "relative") {
            QVERIFY(QDir::setCurrent(shared));
            path = name;
        }

        QString resolved;
        const QString problem = linkWriteProblem(path, uid_t(asUid), &resolved);
        QCOMPARE(problem.isEmpty(), followed);
        if (followed)
            QCOMPARE(resolved, QFileInfo(victim).absoluteFilePath());
        else
            QVERIFY2(problem.contains(path), qPrintable(problem));
        if (uid_t(asUid) != me)
            return;

        // every writer meets the same rule
        const QImage image = filledImage(QSize(2, 2), Qt::red, QImage::Format_RGB32);
        const std::function<QString()> writers[] = {
            [&] { prompt.texts.clear(); return Save_gen_image(image, path) ? QString() : prompt.texts.value(1); },
            [&] { QString error; return writeFileAtomically(path, "new", &error) ? QString() : error; },
            [&] { QString error; return writeFileAtomically(path, "settings", &error, true) ? QString() : error; },
            [&] {
                SaveFile file(path);
                QString error;
                if (!openSaveFile(file))
                    return writeErrorText(file, path, errno);
                file.write("design");
                return commitSaveFile(file, &error) ? QString() : error;
            }};
        for (const auto& write : writers) {
            writeBytes(victim, "keep");
            const QString error = write();
            QCOMPARE(error, problem);
            QCOMPARE(readBytes(victim) == "keep", !followed);
            QVERIFY(QFileInfo(planted).isSymLink());
        }
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
    }

    // A link placed on the way after the file was opened is never followed, whoever owns it.
    void linkPlacedWhileWriting_data()
    {
        QTest::addColumn<QString>("shape"); // file: at the final name; folder: a folder on the way moved aside
        QTest::addColumn<bool>("existed");  // the final name held the user's file when it was opened
        QTest::newRow("new file's name") << "file" << false;
        QTest::newRow("replaced file's name") << "file" << true;
        QTest::newRow("folder on the way") << "folder" << false;
        QTest::newRow("folder on the way, replaced file") << "folder" << true;
    }
    void linkPlacedWhileWriting()
    {
        QFETCH(QString, shape);
        QFETCH(bool, existed);
        const QString shared = root + "/shared", home = root + "/home", folder = shared + "/dir";
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(home));
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        const QString victim = home + "/victim.txt", path = folder + "/victim.txt";
        writeBytes(victim, "keep");
        if (existed)
            writeBytes(path, "old");
        SaveFile file(path);
        QVERIFY(openSaveFile(file));
        if (shape == "folder") {
            QVERIFY(QDir().rename(folder, shared + "/moved"));
            QVERIFY(QFile::link(home, folder));
        } else {
            QFile::remove(path);
            QVERIFY(QFile::link(victim, path));
        }
        QCOMPARE(file.write("new"), 3);
        QString error;
        QVERIFY2(commitSaveFile(file, &error), qPrintable(error));
        QCOMPARE(readBytes(victim), QByteArray("keep"));
        const QString written = shape == "folder" ? shared + "/moved/victim.txt" : path;
        QVERIFY(!QFileInfo(written).isSymLink());
        QCOMPARE(readBytes(written), QByteArray("new"));
        QCOMPARE(QDir(QFileInfo(written).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"victim.txt"});
    }

    // A full file system (a 64 KiB tmpfs) is named as such, and the old file stays whole.
    void diskFullSaysSo()
    {
        const SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString path = disk.filePath("design.kvto");
        writeBytes(path, "old design");
        QString error;
        QVERIFY(!writeFileAtomically(path, QByteArray(200 * 1024, 'x'), &error));
        QCOMPARE(error, QStringLiteral("The disk is full."));
        QCOMPARE(readBytes(path), QByteArray("old design"));

        QImage noise(400, 400, QImage::Format_RGB32);
        quint32 seed = 7;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, seed = seed * 1103515245u + 12345u);
        const QString png = disk.filePath("card.png");
        writeBytes(png, "old export");
        QVERIFY(!Save_gen_image(noise, png));
        QCOMPARE(prompt.texts.value(1), QStringLiteral("The disk is full."));
        QCOMPARE(readBytes(png), QByteArray("old export"));
        QCOMPARE(disk.files().size(), 2);
    }

    // /proc and /sys report no free blocks; a write refused there gives the system's reason, not a full disk.
    void unwritablePlaceIsNotFull_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("proc") << QStringLiteral("/proc/navu-design.kvto");
        QTest::newRow("sys") << QStringLiteral("/sys/navu-design.kvto");
    }
    void unwritablePlaceIsNotFull()
    {
        QFETCH(QString, path);
        if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
            QSKIP("no such pseudo file system here");
        QString error;
        QVERIFY(!writeFileAtomically(path, QByteArray("design"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY2(error != QStringLiteral("The disk is full."), qPrintable(error));
    }

    void dateAndTime()
    {
        QLocale::setDefault(QLocale::c());
        const QDateTime at(QDate(2026, 3, 9), QTime(14, 5, 7));
        QCOMPARE(Get_date_Value("dd/MM/yyyy", at), QString("09/03/2026"));
        QCOMPARE(Get_date_Value("dddd, d MMMM yyyy", at), QString("Monday, 9 March 2026"));
        QCOMPARE(Get_time_Value("hh:mm AP", at), QString("02:05 PM"));
        QCOMPARE(Get_time_Value("HH:mm:ss", at), QString("14:05:07"));
        QVERIFY(!Get_date_Value("yyyy").isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString root;
    RecordingPrompt prompt;
};

QTEST_GUILESS_MAIN(TestFileHelpers)
#include "test_file_helpers.moc"
