#include "camera/TStringAdapter.h"
#include "camera/TXMLLib.h"
#include "camera/XMLExceptions.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TXMLLib> load(const QByteArray& document)
{
    auto xml = std::make_unique<TXMLLib>();
    xml->Load(document);
    return xml;
}

QString text(const TXMLNode* node)
{
    return node ? node->Value().Text : QStringLiteral("<missing>");
}

template<class E> QString messageOf(const QByteArray& document)
{
    TXMLLib xml;
    try {
        xml.Load(document);
    } catch (const E& e) {
        EXPECT_EQ(xml.Root(), nullptr) << "a failed load keeps no partial tree";
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

} // namespace

TEST(XmlReader, DeclarationIsNoNodeAndNamesIgnoreCase)
{
    auto xml = load("<?xml version=\"1.0\"?>\r\n<Root>\r\n <Item>x</ITEM>\r\n <item/>\r\n</root>\r\n");
    TXMLNode* root = xml->Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), "Root");
    EXPECT_TRUE(root->WriteHeader());
    ASSERT_EQ(root->Children().Count(), 2);
    EXPECT_EQ(text(root->Children().At(0)), "x");
    EXPECT_EQ(root->Children().Find("ITEM", 1), root->Children().At(1));
    EXPECT_EQ(root->Children().At(1)->Path(), "Root");
    EXPECT_EQ(root->Children().At(1)->Level(), 1);
}

TEST(XmlReader, KeepsOnlyTheTextRightAfterTheStartTag)
{
    auto xml = load("<a>  first\r\n <b>inner</b> second <c/> third</a>");
    EXPECT_EQ(text(xml->Root()), "first");
    EXPECT_EQ(text(xml->Root()->Children().At(0)), "inner");
    EXPECT_EQ(xml->Root()->Children().Count(), 2);
}

TEST(XmlReader, ReferencesDependOnTheDeclaredEncoding)
{
    EXPECT_EQ(text(load("<a>x &amp; y</a>")->Root()), "x &amp; y");
    EXPECT_EQ(text(load("<?xml version=\"1.0\" encoding=\"Shift-JIS\"?><a>x &amp; y &#60;</a>")->Root()),
        "x & y <");
    EXPECT_EQ(text(load("<?xml version='1.0' encoding='utf-8'?><a>x &amp; y</a>")->Root()), "x & y");

    // Without a declaration bytes pass 1:1; the UTF-8 declarations decode them.
    const QByteArray umlautAndKanji = "<a>\xC3\xA4\xE6\x97\xA5</a>";
    EXPECT_EQ(text(load(umlautAndKanji)->Root()), QString::fromLatin1("\xC3\xA4\xE6\x97\xA5"));
    EXPECT_EQ(text(load("<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>" + umlautAndKanji)->Root()),
        QString(QChar(0xE4)) + QLatin1Char(' '));
    EXPECT_EQ(text(load("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + umlautAndKanji)->Root()),
        QString(QChar(0xE4)) + QChar(0x65E5));
}

TEST(XmlReader, AttributesAndComments)
{
    auto xml = load("<!-- before root -->\n<oishare>\n <!-- two\n lines -->\n <support func=\"web\"/>\n"
                    " <a v=\"it&apos;s &QUOT;x&quot;\" w=\"\"></a>\n</oishare>");
    TXMLNode* root = xml->Root();
    ASSERT_EQ(root->Comments().Count(), 1);
    EXPECT_EQ(root->Comments().At(0), QStringList { "before root" });

    TXMLNode* support = root->Children().At(0);
    EXPECT_EQ(support->Comments().At(0), (QStringList { "two", " lines" }));
    EXPECT_EQ(support->Children().Count(), 0);
    ASSERT_EQ(support->Attributes().Count(), 1);
    EXPECT_EQ(support->AttributeText("FUNC"), "web");

    TXMLNode* a = root->Children().At(1);
    EXPECT_EQ(a->AttributeText("v"), "it's \"x\"");
    EXPECT_TRUE(a->Attributes().Exists("w"));
    EXPECT_EQ(a->Attributes().Lines(), (QStringList { "v=it's \"x\"", "w=" }));
}

TEST(XmlReader, StylesheetAndCData)
{
    auto xml = load("<?xml-stylesheet type=\"text/xsl\" href=\"list.xsl\"?>\n"
                    "<r><a>\n <![cdata[1 < 2 &amp; ]]> ]]></a></r>");
    EXPECT_TRUE(xml->Root()->HasStylesheet());
    EXPECT_EQ(xml->Root()->StylesheetHref(), "list.xsl");
    const TXMLNode* a = xml->Root()->Children().At(0);
    EXPECT_EQ(text(a), "1 < 2 &amp; ");
    EXPECT_TRUE(a->Value().IsCData);
    EXPECT_EQ(xml->Root()->Children().Count(), 1);
}

TEST(XmlReader, CutOffDocumentsYieldTheTreeSoFar)
{
    auto open = load("<r><a>1</a><b><c>2");
    ASSERT_EQ(open->Root()->Children().Count(), 2);
    EXPECT_EQ(text(open->Root()->FindNode("b.c")), "2");

    // A tag cut off by the end of the data or by the start of the next tag is dropped.
    for (const QByteArray& cut :
        { QByteArray("<r><a>1</a><b x=\"1"), QByteArray("<r><a>1</a><b x\n<!-- x -->\n") }) {
        auto xml = load(cut);
        ASSERT_EQ(xml->Root()->Children().Count(), 1) << cut.constData();
        EXPECT_EQ(xml->Root()->Children().At(0)->Name(), "a");
    }

    TXMLLib empty;
    EXPECT_FALSE(empty.Load(QByteArray("  <?xml version=\"1.0\"?>")));
    EXPECT_EQ(empty.Root()->Name(), "");
}

TEST(XmlReader, StrayEndTagClosesTheElement)
{
    auto xml = load("<r><a></x><b/></r>");
    EXPECT_EQ(xml->Root()->Children().Names(), (QStringList { "a", "b" }));
}

TEST(XmlReader, Failures)
{
    EXPECT_EQ(messageOf<EXMLNodeAttrNameExists>("<r>\n<a x=\"1\" X=\"2\"/></r>"),
        "TXMLAttribute.SetName(): Attribute with the name already exist! (Line: 2)");
    // Text without "=" repeats the empty name.
    EXPECT_EQ(messageOf<EXMLNodeAttrNameExists>("<r><a x=\"1\" broken/></r>"),
        "TXMLAttribute.SetName(): Attribute with the name already exist! (Line: 1)");
    // Lines count LFs, so CR CR LF ends are one line each.
    EXPECT_EQ(messageOf<EXMLLibException>("<r>\r\r\n<b/>\r\r\n<a x=\"\" x=\"\"/></r>"),
        "TXMLAttribute.SetName(): Attribute with the name already exist! (Line: 3)");

    EXPECT_EQ(messageOf<ESAWrongEncodingException>("<?xml version=\"1.0\" encoding=\"EBCDIC\"?><a/>"),
        "unknown encoding type!");

    // High-bit bytes count only where a tag is searched, i.e. not in the text after a start tag.
    EXPECT_EQ(messageOf<EXMLInvalidFile>(QByteArray(10, '\xFF') + "<a/>"), "invalid file!");
    EXPECT_EQ(load(QByteArray(9, '\xFF') + "<a/>")->Root()->Name(), "a");
    EXPECT_EQ(text(load("<a>" + QByteArray(50, '\xE4') + "</a>")->Root()), QString(50, QChar(0xE4)));
    EXPECT_EQ(messageOf<EXMLInvalidFile>("<a><b/>" + QByteArray(10, '\xE4') + "</a>"), "invalid file!");
}

TEST(XmlReader, NestingIsCapped)
{
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    const QString message = messageOf<EXMLLibException>(deep);
    EXPECT_TRUE(message.startsWith("nesting deeper than 256 levels")) << message.toStdString();

    QByteArray fine;
    for (int i = 0; i <= TXMLNode::MaxLevel; ++i)
        fine += "<a>";
    auto xml = load(fine);
    const TXMLNode* node = xml->Root();
    int depth = 0;
    while (node->Children().Count() == 1) {
        node = node->Children().At(0);
        ++depth;
    }
    EXPECT_EQ(depth, TXMLNode::MaxLevel);
}

TEST(XmlReader, LoadsFromTheDevicePosition)
{
    QByteArray data = "garbage<r><a>1</a></r>";
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(7);
    TXMLLib xml;
    EXPECT_TRUE(xml.Load(&buffer));
    EXPECT_EQ(text(xml.Root()->FindNode("a")), "1");

    QString error;
    EXPECT_FALSE(xml.TryLoad(QByteArray(20, '\x80') + "<a/>", &error));
    EXPECT_EQ(error, "invalid file!");
    EXPECT_EQ(xml.Root(), nullptr);
}

TEST(XmlNodeTree, FindNodeModes)
{
    auto xml = load("<r><a><b>1</b><b>2</b></a></r>");
    TXMLNode* root = xml->Root();
    EXPECT_EQ(text(root->FindNode("a.b[1]")), "2");
    EXPECT_EQ(text(root->FindNode("A.B")), "1");
    EXPECT_EQ(root->FindNode("a.c", TXMLNode::FindMode::ReturnNull), nullptr);
    EXPECT_EQ(root->FindNode("a.b[2]"), nullptr);
    try {
        root->FindNode("a.c", TXMLNode::FindMode::Throw);
        ADD_FAILURE() << "no exception";
    } catch (const EXMLNodeNotFound& e) {
        EXPECT_EQ(e.Message(), "node \"a.c\" not found!");
    }
    TXMLNode* created = root->FindNode("a.c.d", TXMLNode::FindMode::Create);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->Path(), "r.a.c");
    EXPECT_EQ(created->Level(), 3);
    EXPECT_EQ(root->FindNode("a.c.d"), created);
    EXPECT_EQ(root->FindNode("a")->Children().Names(), (QStringList { "b", "b", "c" }));
}

TEST(XmlNodeTree, ListsAndOwnership)
{
    auto xml = load("<r><cmd1/><cmd2/><param1/><Cmd3/></r>");
    TXMLNodeList& children = xml->Root()->Children();
    EXPECT_EQ(children.CountOf(" CMD1 "), 1);
    EXPECT_EQ(children.IndexOf("cmd2"), 1);
    EXPECT_EQ(children.IndexOf("x[0]"), -1);
    EXPECT_EQ(children.Match("cmd?").Names(), (QStringList { "cmd1", "cmd2" }));
    EXPECT_EQ(children.Match("CMD*", false).Count(), 3);
    EXPECT_EQ(children.Match("*", true).Count(), 4);

    // Children only accept nodes created for them; freeing a node leaves its list.
    TXMLNode stranger;
    EXPECT_FALSE(children.Add(&stranger));
    delete children.At(0);
    EXPECT_EQ(children.Names(), (QStringList { "cmd2", "param1", "Cmd3" }));

    // A removed node becomes a tree of its own.
    TXMLNode* taken = children.At(0);
    new TXMLNode(taken, "leaf");
    EXPECT_TRUE(children.Remove(taken));
    std::unique_ptr<TXMLNode> owned(taken);
    EXPECT_EQ(owned->Parent(), nullptr);
    EXPECT_EQ(owned->Children().At(0)->Level(), 1);
    EXPECT_EQ(children.Count(), 2);
}

TEST(XmlNodeTree, AttributeList)
{
    TXMLNode node(nullptr, "n");
    TXMLAttributeList& attributes = node.Attributes();
    attributes.Add("a", "1");
    TXMLAttribute* b = attributes.Add("b", "2");
    EXPECT_THROW(b->SetName("A"), EXMLNodeAttrNameExists);
    b->SetName("B");
    EXPECT_EQ(attributes.Find("b"), b);
    EXPECT_EQ(attributes.IndexOf("B"), 1);
    try {
        attributes.At(2);
        ADD_FAILURE() << "no exception";
    } catch (const EXMLLibException& e) {
        EXPECT_EQ(e.Message(), "TXMLAttributesList.GetAttributeByIndex(): Index out of range");
    }
    EXPECT_TRUE(attributes.Delete("a"));
    attributes.Add("a", "again");
    EXPECT_EQ(attributes.Names(), (QStringList { "B", "a" }));
    EXPECT_EQ(attributes.Text(node.Adapter()), "B=\"2\" a=\"again\"");

    // Long lists switch to a name index; the rules stay the same.
    QByteArray tag = "<a";
    for (int i = 0; i < 40; ++i)
        tag += " n" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + '"';
    EXPECT_EQ(load(tag + "/>")->Root()->AttributeText("N39"), "39");
    EXPECT_THROW(load(tag + " N17=\"x\"/>"), EXMLNodeAttrNameExists);
    auto xml = load(tag + "/>");
    TXMLAttributeList& many = xml->Root()->Attributes();
    EXPECT_THROW(many.Find("n3")->SetName("N4"), EXMLNodeAttrNameExists);
    many.Find("n3")->SetName("renamed");
    EXPECT_EQ(many.Find("n3"), nullptr);
    EXPECT_EQ(many.IndexOf("RENAMED"), 3);
    EXPECT_TRUE(many.Delete("n5"));
    EXPECT_FALSE(many.Exists("n5"));
    many.Add("N5", "back");
    EXPECT_EQ(many.At(39)->Name(), "N5");
}

TEST(XmlNodeTree, SaveRoundTrip)
{
    const QByteArray document = "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\n<!-- top -->\n"
                                "<root kind=\"test\">\n  <item name=\"a&quot;b\">x &amp; y \xC3\xA4</item>\n"
                                "  <empty flag=\"1\"/>\n  <code><![CDATA[a < b]]></code>\n</root>\n";
    auto xml = load(document);
    const QByteArray saved = xml->Root()->SaveToBytes();
    EXPECT_EQ(saved,
        "<?xml version=\"1.0\" encoding=\"Shift-JIS\" ?>\r\n<!-- top -->\r\n<root kind=\"test\">\r\n"
        "  <item name=\"a&amp;quot;b\">x &amp; y \xC3\xA4</item>\r\n  <empty flag=\"1\" />\r\n"
        "  <code><![CDATA[a < b]]></code>\r\n</root>\r\n");

    auto again = load(saved);
    EXPECT_EQ(again->Root()->SaveToBytes(), saved);
    EXPECT_EQ(again->Root()->FindNode("item")->AttributeText("name"), "a\"b");
    EXPECT_EQ(text(again->Root()->FindNode("item")), QString::fromUtf8("x & y \xC3\xA4"));

    // A root without children keeps start and end tag; CDATA content with "]]>" survives.
    TXMLNode root(nullptr, "r");
    EXPECT_EQ(root.SaveToBytes(), "<r>\r\n</r>\r\n");
    (new TXMLNode(&root, "c"))->Value().Text = "x]]>y";
    EXPECT_EQ(text(load(root.SaveToBytes())->Root()->FindNode("c")), "x]]>y");
}

TEST(StringAdapters, ConversionRules)
{
    TShiftJisAdapter sjis;
    // One pass: a replaced "&" does not start a new reference.
    EXPECT_EQ(sjis.Decode("&amp;lt; &#34;&gt;&#62;"), "&lt; \">>");
    // Code points above 255 become a blank, broken sequences vanish without eating ASCII.
    EXPECT_EQ(sjis.Decode("\xC4\x80|\xF0\x9F\x98\x80|\xC3\"|\x80|\xC3"), " | |\"||");
    EXPECT_EQ(sjis.Encode(QString::fromLatin1("\xE4&\"<>")), "\xC3\xA4&amp;&quot;&lt;&gt;");

    TDefaultAdapter plain;
    EXPECT_EQ(plain.Encode(plain.Decode("\x01\xFF&amp;")), "\x01\xFF&amp;");

    TStringAdapter adapter;
    EXPECT_EQ(adapter.Name(), "");
    adapter.SetEncoding(" shift-jis ");
    EXPECT_EQ(adapter.Name(), "Shift-JIS");
    EXPECT_THROW(adapter.SetEncoding("Latin-9"), ESAWrongEncodingException);
    EXPECT_EQ(adapter.Name(), "Shift-JIS");

    // A second registration of a known name is ignored.
    TStringAdapter::RegisterAdapter("UTF-8", [] { return std::make_unique<TDefaultAdapter>(); });
    EXPECT_EQ(TStringAdapter("utf-8").Decode("\xC3\xA4"), QString(QChar(0xE4)));
}
