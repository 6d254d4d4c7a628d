#include "PackageContents.h"

#include <QFile>
#include <zip.h>

PackageContents::PackageContents(const QString& path)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return;
    m_readable = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), '\0');
        if (stat.size > 0) {
            zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
            if (!file || zip_fread(file, data.data(), stat.size) != zip_int64_t(stat.size))
                m_readable = false;
            if (file)
                zip_fclose(file);
        }
        m_entries.append({QString::fromUtf8(stat.name), data});
    }
    zip_close(archive);
}

QStringList PackageContents::names() const
{
    QStringList names;
    for (const auto& entry : m_entries)
        names.append(entry.first);
    return names;
}

QByteArray PackageContents::entry(const QString& name) const
{
    for (const auto& entry : m_entries) {
        if (entry.first == name)
            return entry.second;
    }
    return {};
}
