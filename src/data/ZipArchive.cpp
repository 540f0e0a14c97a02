#include "data/ZipArchive.h"

#include <QFile>
#include <QFileInfo>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {
// A seekable memory stream for minizip's file functions: read-only over borrowed bytes, or writable into
// an owned buffer.
struct MemStream {
    const char* data = nullptr;
    qint64 size = 0;
    QByteArray* out = nullptr;
    qint64 pos = 0;
    bool failed = false;
};

voidpf ZCALLBACK memOpen(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK memRead(voidpf, voidpf stream, void* buf, uLong size)
{
    auto* s = static_cast<MemStream*>(stream);
    const char* base = s->out ? s->out->constData() : s->data;
    const qint64 total = s->out ? s->out->size() : s->size;
    if (s->pos >= total)
        return 0;
    const qint64 n = qMin<qint64>(size, total - s->pos);
    std::memcpy(buf, base + s->pos, size_t(n));
    s->pos += n;
    return uLong(n);
}

uLong ZCALLBACK memWrite(voidpf, voidpf stream, const void* buf, uLong size)
{
    auto* s = static_cast<MemStream*>(stream);
    if (!s->out) {
        s->failed = true;
        return 0;
    }
    const qint64 end = s->pos + qint64(size);
    if (end > s->out->size())
        s->out->resize(end);
    std::memcpy(s->out->data() + s->pos, buf, size);
    s->pos = end;
    return size;
}

ZPOS64_T ZCALLBACK memTell(voidpf, voidpf stream) { return ZPOS64_T(static_cast<MemStream*>(stream)->pos); }

long ZCALLBACK memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* s = static_cast<MemStream*>(stream);
    const qint64 total = s->out ? s->out->size() : s->size;
    qint64 base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->pos; break;
    case ZLIB_FILEFUNC_SEEK_END: base = total; break;
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    default: return -1;
    }
    if (offset > ZPOS64_T(std::numeric_limits<qint64>::max() - base))
        return -1;
    const qint64 target = base + qint64(offset);
    if (target < 0 || (!s->out && target > total))
        return -1;
    s->pos = target;
    return 0;
}

int ZCALLBACK memClose(voidpf, voidpf) { return 0; }
int ZCALLBACK memError(voidpf, voidpf stream) { return static_cast<MemStream*>(stream)->failed ? 1 : 0; }

zlib_filefunc64_def memFuncs(MemStream* s)
{
    zlib_filefunc64_def def{};
    def.zopen64_file = memOpen;
    def.zread_file = memRead;
    def.zwrite_file = memWrite;
    def.ztell64_file = memTell;
    def.zseek64_file = memSeek;
    def.zclose_file = memClose;
    def.zerror_file = memError;
    def.opaque = s;
    return def;
}

QString normalName(const QString& name)
{
    QString n = name;
    n.replace(u'\\', u'/');
    while (n.startsWith(u'/'))
        n.remove(0, 1);
    return n;
}
} // namespace

struct ZipReader::Entry {
    QString name;
    unz64_file_pos pos{};
    quint64 declaredSize = 0;
    quint32 crc = 0;
    bool encrypted = false;
    int method = 0;
};

namespace {
// The entry minizip has open, read raw and inflated here with ISA-L: several times zlib's speed, most of all
// on the long runs blank-heavy parts are made of. Its CRC-32 is checked against the directory's at the end.
class PartInflater {
public:
    PartInflater(unzFile uf, bool deflated, quint32 crc)
        : _uf(uf), _deflated(deflated), _expectedCrc(crc)
    {
        if (_deflated) {
            _state = std::make_unique<inflate_state>();
            isal_inflate_init(_state.get());
            _state->crc_flag = ISAL_GZIP_NO_HDR; // raw deflate, CRC-32 of the output kept
            _in.resize(256 * 1024);
        }
    }

    // Up to `size` (at most 1 GB) inflated bytes into buf; 0 at the end once the checksum matched; -1 when the
    // part is damaged (*why says how).
    qint64 read(char* buf, qint64 size, QString* why)
    {
        if (_finished)
            return finish(why);
        if (!_deflated) {
            const int n = unzReadCurrentFile(_uf, buf, unsigned(size));
            if (n < 0)
                return damaged(why);
            if (n == 0) {
                _finished = true;
                return finish(why);
            }
            _crc = crc32_gzip_refl(_crc, reinterpret_cast<const unsigned char*>(buf), quint64(n));
            return n;
        }
        inflate_state& st = *_state;
        st.next_out = reinterpret_cast<uint8_t*>(buf);
        st.avail_out = uint32_t(size);
        while (st.avail_out > 0 && st.block_state != ISAL_BLOCK_FINISH) {
            if (st.avail_in == 0 && !_inputDone) {
                const int n = unzReadCurrentFile(_uf, _in.data(), unsigned(_in.size()));
                if (n < 0)
                    return damaged(why);
                _inputDone = n == 0;
                st.next_in = _in.data();
                st.avail_in = uint32_t(n);
            }
            const uint32_t before = st.avail_out;
            if (isal_inflate(&st) < 0)
                return damaged(why);
            if (st.avail_out == before && st.avail_in == 0 && _inputDone && st.block_state != ISAL_BLOCK_FINISH)
                return damaged(why); // the data ends before the deflate stream does
        }
        const qint64 got = size - qint64(st.avail_out);
        if (st.block_state == ISAL_BLOCK_FINISH) {
            _crc = st.crc;
            _finished = true;
            if (got == 0)
                return finish(why);
        }
        return got;
    }

private:
    qint64 finish(QString* why)
    {
        if (_crc == _expectedCrc)
            return 0;
        *why = QStringLiteral("checksum mismatch");
        return -1;
    }
    static qint64 damaged(QString* why)
    {
        *why = QStringLiteral("damaged part");
        return -1;
    }

    unzFile _uf;
    bool _deflated;
    quint32 _expectedCrc;
    std::unique_ptr<inflate_state> _state;
    std::vector<unsigned char> _in;
    quint32 _crc = 0;
    bool _inputDone = false;
    bool _finished = false;
};
} // namespace

struct ZipReader::Impl {
    QByteArray bytes;
    MemStream stream;
    unzFile uf = nullptr;
    std::vector<Entry> entries;
    QHash<QString, int> byName; // lower-case name -> entry
    std::unique_ptr<PartInflater> part; // of the entry open now

    ~Impl()
    {
        if (uf)
            unzClose(uf);
    }
};

ZipReader::ZipReader() = default;
ZipReader::ZipReader(const Limits& limits) : _limits(limits) {}
ZipReader::~ZipReader() = default;

bool ZipReader::isOpen() const { return _d && _d->uf; }

bool ZipReader::openFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open the file");
        return false;
    }
    if (file.size() > _limits.maxArchiveBytes) {
        if (error)
            *error = QStringLiteral("the file is too large");
        return false;
    }
    return openData(file.readAll(), error);
}

bool ZipReader::openData(const QByteArray& data, QString* error)
{
    _d = std::make_unique<Impl>();
    _total = 0;
    if (data.size() > _limits.maxArchiveBytes) {
        if (error)
            *error = QStringLiteral("the file is too large");
        _d.reset();
        return false;
    }
    _d->bytes = data;
    _d->stream.data = _d->bytes.constData();
    _d->stream.size = _d->bytes.size();
    zlib_filefunc64_def def = memFuncs(&_d->stream);
    _d->uf = unzOpen2_64(nullptr, &def);
    if (!_d->uf) {
        if (error)
            *error = QStringLiteral("not a zip package");
        _d.reset();
        return false;
    }
    if (!indexEntries(error)) {
        _d.reset();
        return false;
    }
    return true;
}

bool ZipReader::indexEntries(QString* error)
{
    int rc = unzGoToFirstFile(_d->uf);
    if (rc != UNZ_OK) {
        if (error)
            *error = QStringLiteral("the package has no entries");
        return false;
    }
    while (rc == UNZ_OK) {
        if (int(_d->entries.size()) >= _limits.maxEntries) {
            if (error)
                *error = QStringLiteral("the package has too many entries");
            return false;
        }
        unz_file_info64 info{};
        char nameBuf[1024];
        if (unzGetCurrentFileInfo64(_d->uf, &info, nameBuf, sizeof nameBuf, nullptr, 0, nullptr, 0) != UNZ_OK) {
            if (error)
                *error = QStringLiteral("damaged entry information");
            return false;
        }
        const size_t len = qMin<size_t>(info.size_filename, sizeof nameBuf - 1);
        nameBuf[len] = 0;
        Entry e;
        e.name = normalName(QString::fromUtf8(nameBuf, qsizetype(len)));
        e.declaredSize = info.uncompressed_size;
        e.crc = quint32(info.crc);
        e.encrypted = (info.flag & 1) != 0;
        e.method = int(info.compression_method);
        unzGetFilePos64(_d->uf, &e.pos);
        const QString key = e.name.toLower();
        if (!e.name.endsWith(u'/') && !_d->byName.contains(key))
            _d->byName.insert(key, int(_d->entries.size()));
        _d->entries.push_back(std::move(e));
        rc = unzGoToNextFile(_d->uf);
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) {
        if (error)
            *error = QStringLiteral("damaged central directory");
        return false;
    }
    return true;
}

QStringList ZipReader::entryNames() const
{
    QStringList names;
    if (_d) {
        for (const Entry& e : _d->entries)
            names << e.name;
    }
    return names;
}

bool ZipReader::contains(const QString& name) const
{
    return _d && _d->byName.contains(normalName(name).toLower());
}

QString ZipReader::openPart(const QString& name, qint64* room, quint64* declared)
{
    if (!isOpen())
        return QStringLiteral("no package open");
    const auto it = _d->byName.constFind(normalName(name).toLower());
    if (it == _d->byName.constEnd())
        return QStringLiteral("missing part");
    const Entry& e = _d->entries[size_t(*it)];
    if (e.encrypted)
        return QStringLiteral("the part is encrypted");
    if (e.method != 0 && e.method != Z_DEFLATED)
        return QStringLiteral("unsupported compression");
    *room = qMax<qint64>(qMin(_limits.maxEntryBytes, _limits.maxTotalBytes - _total), 0);
    *declared = e.declaredSize;
    if (e.declaredSize > quint64(*room))
        return tooLargeReason();
    int method = 0, level = 0;
    if (unzGoToFilePos64(_d->uf, &e.pos) != UNZ_OK || unzOpenCurrentFile2(_d->uf, &method, &level, 1) != UNZ_OK)
        return QStringLiteral("damaged part");
    _d->part = std::make_unique<PartInflater>(_d->uf, e.method == Z_DEFLATED, e.crc);
    return QString();
}

std::optional<QByteArray> ZipReader::read(const QString& name, QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, why);
        return std::nullopt;
    };
    qint64 room = 0;
    quint64 declared = 0;
    if (const QString why = openPart(name, &room, &declared); !why.isEmpty())
        return fail(why);

    // The declared size is only a hint: a lying header must still stop at the limit.
    QByteArray out;
    out.resize(qsizetype(qMin<quint64>(declared, quint64(room))) + 1);
    qint64 got = 0;
    qint64 n = 0;
    QString why;
    while (true) {
        if (got == out.size()) {
            if (got > room)
                break;
            out.resize(qMin<qint64>(qMax<qint64>(got * 2, 65536), room + 1));
        }
        const qint64 want = qMin<qint64>(out.size() - got, 1 << 30);
        n = _d->part->read(out.data() + got, want, &why);
        if (n <= 0)
            break;
        got += n;
    }
    const int closeRc = unzCloseCurrentFile(_d->uf);
    _d->part.reset();
    if (got > room)
        return fail(tooLargeReason());
    if (n < 0)
        return fail(why);
    if (closeRc != UNZ_OK)
        return fail(QStringLiteral("damaged part"));
    out.truncate(got);
    _total += got;
    return out;
}

std::unique_ptr<ZipReader::Stream> ZipReader::openStream(const QString& name, QString* error)
{
    qint64 room = 0;
    quint64 declared = 0;
    if (const QString why = openPart(name, &room, &declared); !why.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, why);
        return nullptr;
    }
    constexpr quint64 kReadAheadFrom = 8 << 20; // smaller parts are done before a thread would pay
    return std::unique_ptr<Stream>(new Stream(this, name, room, declared >= kReadAheadFrom));
}

QString ZipReader::tooLargeReason() const
{
    const qint64 cap = qMin(_limits.maxEntryBytes, _limits.maxTotalBytes);
    return QStringLiteral("the part is too large (more than %1 when unpacked, the most that is read)")
        .arg(cap >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(cap / (1024 * 1024))
                                : QStringLiteral("%1 bytes").arg(cap));
}

// A few pieces of the part inflated ahead by a thread of its own, in a ring the reader takes them from.
struct ZipReader::Stream::Ahead {
    explicit Ahead(PartInflater& part) : worker([this, &part] { run(part); }) {}
    ~Ahead()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            cancelled = true;
        }
        changed.notify_all();
        worker.join();
    }

    // As PartInflater::read: the whole size unless the part ends (a reader that asks for more room asks for
    // all it needs).
    qint64 read(char* buf, qint64 size, QString* why)
    {
        qint64 got = 0;
        std::unique_lock<std::mutex> lock(mutex);
        while (got < size) {
            changed.wait(lock, [this] { return count > 0 || finished; });
            if (count == 0) {
                if (got > 0 || error.isEmpty())
                    return got; // the error comes with the next call
                *why = error;
                return -1;
            }
            const size_t slot = tail;
            const qint64 n = qMin<qint64>(size - got, sizes[slot] - offset);
            lock.unlock(); // a filled slot is the reader's until it is handed back
            std::memcpy(buf + got, pieces[slot].get() + offset, size_t(n));
            lock.lock();
            got += n;
            offset += n;
            if (offset == sizes[slot]) {
                offset = 0;
                tail = (tail + 1) % kSlots;
                --count;
                changed.notify_all();
            }
        }
        return got;
    }

private:
    static constexpr size_t kSlots = 4;
    static constexpr qint64 kPiece = 1 << 20;

    void run(PartInflater& part)
    {
        while (true) {
            size_t slot;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] { return count < kSlots || cancelled; });
                if (cancelled)
                    return;
                slot = head;
            }
            QString why;
            const qint64 n = part.read(pieces[slot].get(), kPiece, &why);
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (n > 0) {
                    sizes[slot] = n;
                    head = (head + 1) % kSlots;
                    ++count;
                } else {
                    finished = true;
                    error = why;
                }
            }
            changed.notify_all();
            if (n <= 0)
                return;
        }
    }

    std::unique_ptr<char[]> pieces[kSlots] = {std::make_unique_for_overwrite<char[]>(kPiece),
                                             std::make_unique_for_overwrite<char[]>(kPiece),
                                             std::make_unique_for_overwrite<char[]>(kPiece),
                                             std::make_unique_for_overwrite<char[]>(kPiece)};
    qint64 sizes[kSlots] = {};
    size_t head = 0, tail = 0, count = 0;
    qint64 offset = 0; // into the slot at tail
    bool finished = false, cancelled = false;
    QString error;
    std::mutex mutex;
    std::condition_variable changed;
    std::thread worker; // last: it starts once everything above is made
};

ZipReader::Stream::Stream(ZipReader* zip, QString name, qint64 room, bool readAhead)
    : _zip(zip), _name(std::move(name)), _room(room)
{
    if (readAhead)
        _ahead = std::make_unique<Ahead>(*_zip->_d->part);
}

ZipReader::Stream::~Stream()
{
    if (_open && _zip->_d)
        close();
}

void ZipReader::Stream::close()
{
    _ahead.reset(); // the thread is done with the part before minizip closes it
    unzCloseCurrentFile(_zip->_d->uf);
    _zip->_d->part.reset();
    _open = false;
}

qint64 ZipReader::Stream::fail(const QString& why)
{
    _error = QStringLiteral("%1: %2").arg(_name, why);
    if (_open)
        close();
    _done = true;
    return -1;
}

qint64 ZipReader::Stream::read(char* buf, qint64 size)
{
    if (!_error.isEmpty())
        return -1;
    if (_done || size <= 0)
        return 0;
    // One byte past the room tells a part that is too large from one that fills it exactly.
    const qint64 want = qMin<qint64>(qMin<qint64>(size, _room + 1 - _got), 1 << 30);
    if (want <= 0)
        return fail(_zip->tooLargeReason());
    QString why;
    const qint64 n = _ahead ? _ahead->read(buf, want, &why) : _zip->_d->part->read(buf, want, &why);
    if (n < 0)
        return fail(why);
    if (_got + n > _room)
        return fail(_zip->tooLargeReason());
    if (n == 0) {
        _ahead.reset();
        const int rc = unzCloseCurrentFile(_zip->_d->uf);
        _zip->_d->part.reset();
        _open = false;
        _done = true;
        if (rc != UNZ_OK)
            return fail(QStringLiteral("damaged part"));
        _zip->_total += _got;
        return 0;
    }
    _got += n;
    return n;
}

struct ZipWriter::Impl {
    QByteArray out;
    MemStream stream;
    zipFile zf = nullptr;
    bool failed = false;
};

ZipWriter::ZipWriter() : _d(std::make_unique<Impl>())
{
    _d->stream.out = &_d->out;
    zlib_filefunc64_def def = memFuncs(&_d->stream);
    _d->zf = zipOpen2_64(nullptr, APPEND_STATUS_CREATE, nullptr, &def);
    _d->failed = !_d->zf;
}

ZipWriter::~ZipWriter()
{
    if (_d->zf)
        zipClose(_d->zf, nullptr);
}

bool ZipWriter::addFile(const QString& name, const QByteArray& data, int level)
{
    if (_d->failed)
        return false;
    zip_fileinfo info{};
    info.tmz_date.tm_year = 2000; // a fixed stamp keeps packages reproducible
    info.tmz_date.tm_mday = 1;
    const QByteArray utf8 = name.toUtf8();
    // Bit 11: the name is UTF-8.
    if (zipOpenNewFileInZip4_64(_d->zf, utf8.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                level, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, 1 << 11,
                                data.size() > 0xFFFFFFF0LL ? 1 : 0) != ZIP_OK) {
        _d->failed = true;
        return false;
    }
    qint64 done = 0;
    while (done < data.size()) {
        const unsigned chunk = unsigned(qMin<qint64>(data.size() - done, 1 << 24));
        if (zipWriteInFileInZip(_d->zf, data.constData() + done, chunk) != ZIP_OK) {
            _d->failed = true;
            break;
        }
        done += chunk;
    }
    if (zipCloseFileInZip(_d->zf) != ZIP_OK)
        _d->failed = true;
    return !_d->failed;
}

std::optional<QByteArray> ZipWriter::finish()
{
    if (!_d->zf)
        return std::nullopt;
    const int rc = zipClose(_d->zf, nullptr);
    _d->zf = nullptr;
    if (rc != ZIP_OK || _d->failed || _d->stream.failed)
        return std::nullopt;
    return _d->out;
}
