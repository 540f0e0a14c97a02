#include "data/RowPictureFiles.h"

#include "canvas/SKTItems.h"
#include "common/PictureReader.h"
#include "imaging/JobPictures.h"

#include <QFile>
#include <QMutexLocker>

#include <sys/stat.h>

RowPictureFiles::RowPictureFiles(std::shared_ptr<JobPictures> keep) : m_keep(std::move(keep)) {}

RowPictureFiles::Stamp RowPictureFiles::stampOf(const QString& path)
{
    Stamp s;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.inode = qint64(st.st_ino);
    s.device = qint64(st.st_dev);
    return s;
}

ItemPicture RowPictureFiles::picture(const QString& value, const Reader& read, QString* error)
{
    const QString path = SKTImage::standardizedPath(value);
    if (path.isEmpty())
        return {};
    const Stamp stamp = stampOf(path);
    QMutexLocker lock(&m_mutex);
    for (auto it = m_files.find(path); it != m_files.end(); it = m_files.find(path)) {
        if (it->reading) {
            m_read.wait(&m_mutex);
            continue;
        }
        if (it->stamp != stamp) { // changed since: read again
            m_held -= it->picture.bytes().size();
            m_files.erase(it);
            break;
        }
        it->used = ++m_clock;
        if (error)
            *error = it->error;
        return it->picture;
    }
    m_files.insert(path, Entry{true, stamp, {}, {}, 0});
    lock.unlock();
    QString why;
    ItemPicture picture;
    try {
        picture = read(value, &why);
    } catch (...) {
        lock.relock();
        m_files.remove(path);
        m_read.wakeAll();
        throw;
    }
    lock.relock();
    ++m_reads;
    if (why == pictures::StoppedMessage) {
        m_files.remove(path); // nothing known of the file
    } else {
        Entry& e = m_files[path];
        e.reading = false;
        e.picture = picture;
        e.error = why;
        e.used = ++m_clock;
        m_held += picture.bytes().size();
        if (m_keep)
            m_keep->keep(picture, false);
        letGo();
    }
    m_read.wakeAll();
    if (error)
        *error = why;
    return picture;
}

void RowPictureFiles::letGo()
{
    while (m_held > MaxHeldBytes) {
        auto oldest = m_files.end();
        for (auto it = m_files.begin(); it != m_files.end(); ++it) {
            if (!it->reading && !it->picture.isNull() && it.value().used < m_clock &&
                (oldest == m_files.end() || it->used < oldest->used))
                oldest = it;
        }
        if (oldest == m_files.end())
            return;
        m_held -= oldest->picture.bytes().size();
        m_files.erase(oldest);
    }
}

int RowPictureFiles::reads() const
{
    QMutexLocker lock(&m_mutex);
    return m_reads;
}
