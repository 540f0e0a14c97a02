#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Zip packages read and written in memory through minizip. Entries are never written to paths built from
// their names: a reader hands out their bytes, looked up by name without regard to case.
class ZipReader {
public:
    struct Limits {
        qint64 maxArchiveBytes = 512LL * 1024 * 1024; // the package file itself
        qint64 maxEntryBytes = 512LL * 1024 * 1024;   // one inflated entry
        qint64 maxTotalBytes = 1024LL * 1024 * 1024;  // all inflated entries of one reader
        int maxEntries = 65536;
    };

    ZipReader();
    explicit ZipReader(const Limits& limits);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool openFile(const QString& path, QString* error = nullptr);
    bool openData(const QByteArray& data, QString* error = nullptr);
    bool isOpen() const;

    // Entry names as stored ("\" turned into "/"), in archive order.
    QStringList entryNames() const;
    bool contains(const QString& name) const;
    // The inflated bytes of an entry; nothing (and a reason) when missing, encrypted, damaged or too large.
    std::optional<QByteArray> read(const QString& name, QString* error = nullptr);

    // An entry read piece by piece as it is inflated, so that no whole part needs to be in memory. One
    // stream at a time per reader; the reader must outlive it. A large entry is inflated a few pieces ahead
    // on a thread of its own, so that inflating and what the caller does with the bytes overlap.
    class Stream {
    public:
        ~Stream();
        // Up to `size` inflated bytes into buf; 0 at the end (after the checksum was checked), -1 on a
        // failure (then error() says why).
        qint64 read(char* buf, qint64 size);
        const QString& error() const { return _error; }

    private:
        friend class ZipReader;
        struct Ahead;
        Stream(ZipReader* zip, QString name, qint64 room, bool readAhead);
        qint64 fail(const QString& why);
        void close();
        std::unique_ptr<Ahead> _ahead; // inflating on a thread of its own while the reader parses
        ZipReader* _zip;
        QString _name;
        qint64 _room;
        qint64 _got = 0;
        bool _open = true;
        bool _done = false;
        QString _error;
    };
    std::unique_ptr<Stream> openStream(const QString& name, QString* error = nullptr);
    qint64 inflatedTotal() const { return _total; }

private:
    struct Entry;
    struct Impl;
    bool indexEntries(QString* error);
    QString tooLargeReason() const;
    // Opens the named part for inflating; the reason when it cannot. *room is what it may inflate to and
    // *declared the size its header claims.
    QString openPart(const QString& name, qint64* room, quint64* declared);

    Limits _limits;
    std::unique_ptr<Impl> _d;
    qint64 _total = 0;
};

class ZipWriter {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Adds one deflated entry; false after a failure (the writer then refuses everything).
    bool addFile(const QString& name, const QByteArray& data, int level = -1);
    // Closes the archive and hands back its bytes; nothing when any step failed.
    std::optional<QByteArray> finish();

private:
    struct Impl;
    std::unique_ptr<Impl> _d;
};
