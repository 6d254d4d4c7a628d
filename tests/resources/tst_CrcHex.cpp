#include "OrvError.h"
#include "cCRC.h"
#include "cHex.h"

#include <QTest>

class tst_CrcHex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void crc_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint32>("length");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("check value") << QByteArray("123456789") << 9 << 0u << 0xCBF43926u;
        QTest::newRow("first bytes only") << QByteArray("123456789xyz") << 9 << 0u << 0xCBF43926u;
        QTest::newRow("empty block from 0") << QByteArray("123") << 0 << 0u << 0u;
        QTest::newRow("empty block continues") << QByteArray() << 0 << 0xCBF43926u << 0xCBF43926u;
        QTest::newRow("one zero byte") << QByteArray(1, '\0') << 1 << 0u << 0xD202EF8Du;
    }

    void crc()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint32, length);
        QFETCH(quint32, seed);
        QTEST(cCRC().CRC32(bytes, length, seed), "expected");
    }

    // Continuing over the second part of a split gives the checksum of the whole.
    void crcSplit()
    {
        cCRC crc;
        const QByteArray data = "The quick brown fox jumps over the lazy dog";
        const quint32 whole = crc.CRC32(data, qint32(data.size()));
        QCOMPARE(whole, 0x414FA339u);
        for (qsizetype cut : {qsizetype(0), qsizetype(1), qsizetype(4), data.size() - 1, data.size()}) {
            const QByteArray tail = data.mid(cut);
            const quint32 head = crc.CRC32(data.left(cut), qint32(cut));
            QCOMPARE(crc.CRC32(tail, qint32(tail.size()), head), whole);
        }
    }

    void crcLengthOutOfRange_data()
    {
        QTest::addColumn<qint32>("length");
        QTest::newRow("longer than the array") << 4;
        QTest::newRow("negative") << -1;
    }

    void crcLengthOutOfRange()
    {
        QFETCH(qint32, length);
        try {
            cCRC().CRC32("abc", length);
            QFAIL("no error");
        } catch (const OrvError& e) {
            QCOMPARE(e.number(), 9);
        }
    }

    void strToHex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("hex");
        QTest::newRow("default") << "AB"
                                 << " "
                                 << "41 42";
        QTest::newRow("dash") << "AB"
                              << "-"
                              << "41-42";
        QTest::newRow("two characters fill with the first") << "AB"
                                                            << ", "
                                                            << "41,,42";
        QTest::newRow("no separator") << "AB"
                                      << ""
                                      << "4142";
        QTest::newRow("empty") << ""
                               << " "
                               << "";
        QTest::newRow("one byte") << "\n"
                                  << " "
                                  << "0A";
        QTest::newRow("high byte") << QString(QChar(0xE9)) << " "
                                   << "E9";
    }

    void strToHex()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QTEST(cHex::StrToHex(text, separator), "hex");
    }

    void hexToStr_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<qint32>("separators");
        QTest::addColumn<QString>("text");
        QTest::newRow("two values") << "41 42" << 1 << "AB";
        QTest::newRow("one value") << "41" << 1 << "A";
        QTest::newRow("other separator") << "41:42" << 1 << "AB";
        QTest::newRow("no separator") << "4142" << 0 << "AB";
        QTest::newRow("lower case") << "6a 6B" << 1 << "jk";
        QTest::newRow("empty") << "" << 1 << "";
        QTest::newRow("odd length drops the half pair") << "41 4" << 1 << "A";
        QTest::newRow("single digit") << "4" << 1 << "";
        QTest::newRow("non-hex pair yields nothing") << "41 ZZ 42" << 1 << "AB";
        QTest::newRow("plain text") << "hello" << 1 << "";
    }

    void hexToStr()
    {
        QFETCH(QString, hex);
        QFETCH(qint32, separators);
        QTEST(cHex::HexToStr(hex, separators), "text");
    }

    void everyByteRoundTrips()
    {
        QString all;
        for (int b = 0; b < 256; ++b)
            all += QChar(b);
        const QString hex = cHex::StrToHex(all);
        QCOMPARE(hex.size(), 256 * 3 - 1);
        QCOMPARE(cHex::HexToStr(hex), all);
    }
};

QTEST_GUILESS_MAIN(tst_CrcHex)
#include "tst_CrcHex.moc"
