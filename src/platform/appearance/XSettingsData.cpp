#include "platform/appearance/XSettingsData.h"

#include <QColor>
#include <QtEndian>

namespace nudgewatch {

namespace {

// Reads the manager's byte order, bounds-checked.
class Reader {
public:
    Reader(const QByteArray &data, bool bigEndian) : m_data(data), m_bigEndian(bigEndian) {}

    bool skip(qsizetype n)
    {
        if (n < 0 || m_data.size() - m_at < n)
            return false;
        m_at += n;
        return true;
    }
    bool card8(quint8 &out)
    {
        if (m_at + 1 > m_data.size())
            return false;
        out = quint8(m_data[m_at++]);
        return true;
    }
    bool card16(quint16 &out)
    {
        if (m_data.size() - m_at < 2)
            return false;
        const auto *p = reinterpret_cast<const uchar *>(m_data.constData() + m_at);
        out = m_bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
        m_at += 2;
        return true;
    }
    bool card32(quint32 &out)
    {
        if (m_data.size() - m_at < 4)
            return false;
        const auto *p = reinterpret_cast<const uchar *>(m_data.constData() + m_at);
        out = m_bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
        m_at += 4;
        return true;
    }
    // A string padded to a multiple of four bytes.
    bool string(quint32 length, QByteArray &out)
    {
        const qsizetype padded = (qsizetype(length) + 3) / 4 * 4;
        if (m_data.size() - m_at < padded)
            return false;
        out = m_data.mid(m_at, length);
        m_at += padded;
        return true;
    }

private:
    const QByteArray &m_data;
    bool m_bigEndian;
    qsizetype m_at = 0;
};

} // namespace

QHash<QString, QVariant> parseXSettings(const QByteArray &data)
{
    QHash<QString, QVariant> settings;
    if (data.size() < 12)
        return settings;
    Reader reader(data, data[0] != 0);
    quint32 serial = 0, count = 0;
    if (!reader.skip(4) || !reader.card32(serial) || !reader.card32(count))
        return settings;
    for (quint32 i = 0; i < count; ++i) {
        quint8 type = 0, pad = 0;
        quint16 nameLength = 0;
        QByteArray name;
        quint32 lastChange = 0;
        if (!reader.card8(type) || !reader.card8(pad) || !reader.card16(nameLength) ||
            !reader.string(nameLength, name) || !reader.card32(lastChange))
            break;
        if (type == 0) {
            quint32 value = 0;
            if (!reader.card32(value))
                break;
            settings.insert(QString::fromUtf8(name), int(qint32(value)));
        } else if (type == 1) {
            quint32 length = 0;
            QByteArray value;
            if (!reader.card32(length) || !reader.string(length, value))
                break;
            settings.insert(QString::fromUtf8(name), QString::fromUtf8(value));
        } else if (type == 2) {
            quint16 r = 0, g = 0, b = 0, a = 0;
            if (!reader.card16(r) || !reader.card16(g) || !reader.card16(b) || !reader.card16(a))
                break;
            settings.insert(QString::fromUtf8(name), QColor::fromRgba64(r, g, b, a));
        } else {
            break; // an unknown type has an unknown length: nothing after it can be read
        }
    }
    return settings;
}

} // namespace nudgewatch
