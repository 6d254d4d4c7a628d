#include "XmlDocument.h"

#include <QDomDocument>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Every element in document order with its depth, name and text: what the stored objects can see of a
// document.
template <typename Element> void describe(const Element& element, int depth, QStringList& out)
{
    out << QStringLiteral("%1 <%2> [%3]").arg(depth).arg(element.tagName(), element.text());
    for (Element child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        describe(child, depth + 1, out);
}

// How a document of type `Document` reads `bytes`: "refused", or the description of what it kept.
template <typename Document> QStringList readBy(const QByteArray& bytes)
{
    Document document;
    if (!document.setContent(bytes))
        return {QStringLiteral("refused")};
    QStringList out;
    describe(document.documentElement(), 0, out);
    return out;
}

QByteArray fixture()
{
    QFile file(QStringLiteral(ORV_FIXTURES "/auctions-sample.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The state file's document: it must read every file as Qt's DOM reads it (the same elements and texts,
// the same files refused) and write every document byte for byte as the DOM writes it.
class tst_XmlDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAsTheDomReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("state file") << fixture();
        QTest::newRow("empty top element") << QByteArray("  <Root/>\n");
        QTest::newRow("mixed content") << QByteArray("<a>x<b>y</b>z<c/>w</a>");
        QTest::newRow("declaration") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>x</a>");
        QTest::newRow("latin-1 declared")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xe9</a>");
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf<a>x</a>");
        QTest::newRow("comment and instruction")
            << QByteArray("<!--c--><a> x <!--c--> y <?p d?></a><!--e-->");
        QTest::newRow("character data sections")
            << QByteArray("<a><b><![CDATA[ ]]></b><c><![CDATA[<x>]]></c></a>");
        QTest::newRow("document type and entity")
            << QByteArray("<!DOCTYPE a [<!ENTITY e \"text\">]><a>&e; and &e;</a>");
        QTest::newRow("blanks alone")
            << QByteArray("<a><b> \t\n </b><c>\xc2\xa0</c><d>&#160;</d><e>&#32;</e></a>");
        QTest::newRow("line ends") << QByteArray("<a><b>1\r\n2\r3</b><c>&#xd;&#13;x</c></a>");
        QTest::newRow("attributes") << QByteArray("<a x=\"1\"><b y='2'/></a>");
        QTest::newRow("blanks in tags") << QByteArray("<a ><b\n/></a >");
        QTest::newRow("names") << QByteArray("<a:b><c.d-e_9/><_f/><Z\xc3\xbc/></a:b>");
        QTest::newRow("entities") << QByteArray(
            "<a>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x1F600;&#x10FFFF;</a>");
        QTest::newRow("greater-than") << QByteArray("<a>]&gt; ]> ]]&gt; x]]</a>");
        QTest::newRow("characters of every width") << QByteArray(
            "<a>\x7f \xc2\x80 \xc2\x85 \xdf\xbf \xe0\xa0\x80 \xef\xb7\x90 \xef\xbf\xbd \xf0\x9f\x98\x80 "
            "\xf4\x8f\xbf\xbf</a>");
        QTest::newRow("deep") << QByteArray("<a>").repeated(2000) + QByteArray("x") +
                                     QByteArray("</a>").repeated(2000);
        // Refused, or read by the general reader.
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blanks only") << QByteArray(" \n");
        QTest::newRow("declaration only") << QByteArray("<?xml version=\"1.0\"?>");
        QTest::newRow("unclosed") << QByteArray("<a><b>x</b>");
        QTest::newRow("mismatched") << QByteArray("<a><b>x</c></a>");
        QTest::newRow("two top elements") << QByteArray("<a/><b/>");
        QTest::newRow("text after the top element") << QByteArray("<a/>x");
        QTest::newRow("text before the top element") << QByteArray("x<a/>");
        QTest::newRow("end of section in text") << QByteArray("<a>x]]>y</a>");
        QTest::newRow("control character") << QByteArray("<a>x\x01y</a>");
        QTest::newRow("nul") << QByteArray("<a>x\0y</a>", 10);
        QTest::newRow("unknown entity") << QByteArray("<a>&nbsp;</a>");
        QTest::newRow("reference to nothing") << QByteArray("<a>&#0;</a>");
        QTest::newRow("reference to a surrogate") << QByteArray("<a>&#xD800;</a>");
        QTest::newRow("reference past Unicode") << QByteArray("<a>&#x110000;</a>");
        QTest::newRow("bare ampersand") << QByteArray("<a>x & y</a>");
        QTest::newRow("broken UTF-8") << QByteArray("<a>\xc3\x28</a>");
        QTest::newRow("overlong UTF-8") << QByteArray("<a>\xc0\xaf</a>");
        QTest::newRow("encoded surrogate") << QByteArray("<a>\xed\xa0\x80</a>");
        QTest::newRow("noncharacter FFFE") << QByteArray("<a>\xef\xbf\xbe</a>");
        QTest::newRow("noncharacter FFFF") << QByteArray("<a>\xef\xbf\xbf</a>");
        QTest::newRow("past Unicode") << QByteArray("<a>\xf4\x90\x80\x80</a>");
        QTest::newRow("cut inside a character") << QByteArray("<a>\xe2\x82");
        QTest::newRow("name starting with a digit") << QByteArray("<1a/>");
        QTest::newRow("less-than in text") << QByteArray("<a>x < y</a>");
    }

    void readsAsTheDomReads()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(readBy<XmlDocument>(bytes), readBy<QDomDocument>(bytes));
    }

    // Damaged copies of a real state file, always the same ones (fixed seed).
    void readsDamagedFilesAsTheDomReads()
    {
        const QByteArray original = fixture();
        QVERIFY(!original.isEmpty());
        const QByteArrayList pieces{
            // markup
            "<", ">", "</", "/>", "<b>", "</b>", "<Item>", "</Item>", "a=\"1\"", ":", "\"", "'", "]]>",
            "<!--c-->", "<?p?>", "<![CDATA[ ]]>",
            // references, blanks and line ends
            "&", "&amp;", "&#x20;", "&#160;", "&#xd;", "\r", "\r\n", "\t", " ",
            // characters: a non-breaking space, a cut one, the euro, a noncharacter, a control
            "\xc2\xa0", "\xc3", "\xe2\x82\xac", "\xef\xbf\xbe", "\x01"};
        QRandomGenerator random(20260311);
        int refused = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = original;
            for (int i = 0, n = 1 + random.bounded(3); i < n; ++i) {
                // Mostly where values are: right after a tag.
                const qsizetype at = bytes.indexOf('>', random.bounded(bytes.size())) + 1;
                switch (random.bounded(4)) {
                case 0:
                    bytes.insert(at, pieces.at(random.bounded(pieces.size())));
                    break;
                case 1:
                    bytes.remove(at, random.bounded(1, 12));
                    break;
                case 2: { // a run of whole tags repeated
                    const qsizetype from = bytes.indexOf('<', random.bounded(bytes.size()));
                    const qsizetype to = bytes.indexOf('>', from + random.bounded(1, 80));
                    if (from >= 0 && to > from)
                        bytes.insert(at, bytes.mid(from, to + 1 - from));
                    break;
                }
                default:
                    if (at < bytes.size() && bytes.at(at) != '<')
                        bytes[at] = char(random.bounded(256));
                    break;
                }
            }
            const QStringList expected = readBy<QDomDocument>(bytes);
            refused += expected == QStringList{QStringLiteral("refused")};
            QVERIFY2(readBy<XmlDocument>(bytes) == expected,
                     qPrintable(QStringLiteral("round %1").arg(round)));
        }
        // Both outcomes were met, or the damage is too gentle or too rough to mean anything.
        QVERIFY2(refused > 300 && refused < 2700, qPrintable(QString::number(refused)));
    }

    void writesAsTheDomWrites()
    {
        const QStringList names{QStringLiteral("Root"), QStringLiteral("Item"), QStringLiteral("b_c"),
                                QStringLiteral("d-1"), QStringLiteral("e.f")};
        const QString alphabet = QStringLiteral("ab <>&\"']]\r\n\t\u00e9\u20ac\U0001F600");
        QRandomGenerator random(20260312);
        for (int round = 0; round < 500; ++round) {
            XmlDocument ours;
            QDomDocument dom;
            QList<std::pair<XmlElement, QDomElement>> open{
                {ours.appendElement(names.first()), QDomElement()}};
            open.first().second = dom.createElement(names.first());
            dom.appendChild(open.first().second);
            for (int step = 0, steps = random.bounded(40); step < steps; ++step) {
                auto [element, domElement] = open.at(random.bounded(open.size()));
                if (random.bounded(2)) {
                    const QString name = names.at(random.bounded(names.size()));
                    QDomElement child = dom.createElement(name);
                    domElement.appendChild(child);
                    open.append({element.appendElement(name), child});
                } else {
                    QString text;
                    for (int i = 0, n = random.bounded(8); i < n; ++i)
                        text += alphabet.at(random.bounded(alphabet.size()));
                    element.appendText(text);
                    domElement.appendChild(dom.createTextNode(text));
                }
            }
            QCOMPARE(ours.toByteArray(), dom.toByteArray(-1));
        }
    }
};

QTEST_GUILESS_MAIN(tst_XmlDocument)
#include "tst_XmlDocument.moc"
