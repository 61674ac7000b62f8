#include "book/epub_package.h"

#include "book/epub_pages.h"
#include "book/tool_error.h"

#include <QString>
#include <QXmlStreamWriter>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <zip.h>

namespace tavelio::book {
namespace {

constexpr const char* kContentFolder = "EPUB/";
constexpr const char* kAudioFile = "audio/narration.mp3";
constexpr const char* kEpubNamespace = "http://www.idpf.org/2007/ops";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Seconds(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03llds", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    return text;
}

std::int64_t OverlayLength(const ExportedPage& page) {
    std::int64_t length = 0;
    for (const OverlayClip& clip : page.overlay) {
        length += clip.endMs - clip.beginMs;
    }
    return length;
}

std::string OverlayId(const ExportedPage& page) {
    return page.name + "-overlay";
}

class XmlDocument {
public:
    XmlDocument() : xml_(&out_) { xml_.writeStartDocument(); }

    QXmlStreamWriter& operator*() { return xml_; }
    QXmlStreamWriter* operator->() { return &xml_; }

    void Element(const char* name,
                 std::initializer_list<std::pair<const char*, std::string>> attributes,
                 const std::string& text = {}) {
        xml_.writeStartElement(QString::fromLatin1(name));
        for (const auto& [attribute, value] : attributes) {
            xml_.writeAttribute(QString::fromLatin1(attribute), Q(value));
        }
        if (!text.empty()) {
            xml_.writeCharacters(Q(text));
        }
        xml_.writeEndElement();
    }

    std::string Finish() {
        xml_.writeEndDocument();
        return out_.toStdString();
    }

private:
    QString out_;
    QXmlStreamWriter xml_;
};

std::string Container() {
    XmlDocument doc;
    doc->writeStartElement(QStringLiteral("container"));
    doc->writeDefaultNamespace(QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:container"));
    doc->writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    doc->writeStartElement(QStringLiteral("rootfiles"));
    doc.Element("rootfile", {{"full-path", std::string(kContentFolder) + "package.opf"},
                             {"media-type", "application/oebps-package+xml"}});
    doc->writeEndElement();
    doc->writeEndElement();
    return doc.Finish();
}

std::string PageLabel(const ExportedPage& page) {
    return page.role == PageRole::Cover ? "Cover" : "Page " + std::to_string(page.record.PageNo);
}

std::string Navigation(const ExportedBook& book) {
    XmlDocument doc;
    doc->writeDTD(QStringLiteral("<!DOCTYPE html>"));
    doc->writeStartElement(QStringLiteral("html"));
    doc->writeDefaultNamespace(QStringLiteral("http://www.w3.org/1999/xhtml"));
    doc->writeNamespace(Q(kEpubNamespace), QStringLiteral("epub"));
    doc->writeAttribute(QStringLiteral("lang"), QStringLiteral("en"));
    doc->writeAttribute(QStringLiteral("xml:lang"), QStringLiteral("en"));
    doc->writeStartElement(QStringLiteral("head"));
    doc.Element("title", {}, book.title);
    doc->writeEndElement();
    doc->writeStartElement(QStringLiteral("body"));
    for (const auto& [type, heading] :
         {std::pair{"toc", "Contents"}, std::pair{"page-list", "Pages"}}) {
        doc->writeStartElement(QStringLiteral("nav"));
        doc->writeAttribute(Q(kEpubNamespace), QStringLiteral("type"), QString::fromLatin1(type));
        doc.Element("h1", {}, heading);
        doc->writeStartElement(QStringLiteral("ol"));
        for (const ExportedPage& page : book.pages) {
            if (page.readThroughStep != 0) {
                continue;
            }
            doc->writeStartElement(QStringLiteral("li"));
            doc.Element("a", {{"href", page.name + ".xhtml"}},
                        std::string(type) == "toc" ? PageLabel(page)
                                                   : std::to_string(page.record.PageNo));
            doc->writeEndElement();
        }
        doc->writeEndElement();
        doc->writeEndElement();
    }
    doc->writeEndElement();
    doc->writeEndElement();
    return doc.Finish();
}

std::string Package(const ExportedBook& book) {
    XmlDocument doc;
    doc->writeStartElement(QStringLiteral("package"));
    doc->writeDefaultNamespace(QStringLiteral("http://www.idpf.org/2007/opf"));
    doc->writeAttribute(QStringLiteral("version"), QStringLiteral("3.0"));
    doc->writeAttribute(QStringLiteral("unique-identifier"), QStringLiteral("book-id"));
    doc->writeAttribute(QStringLiteral("xml:lang"), QStringLiteral("en"));

    doc->writeStartElement(QStringLiteral("metadata"));
    doc->writeNamespace(QStringLiteral("http://purl.org/dc/elements/1.1/"), QStringLiteral("dc"));
    doc.Element("dc:identifier", {{"id", "book-id"}}, book.identifier);
    doc.Element("dc:title", {}, book.title);
    doc.Element("dc:language", {}, "en");
    const auto meta = [&](const std::string& property, const std::string& value) {
        doc.Element("meta", {{"property", property}}, value);
    };
    meta("dcterms:modified", book.modified);
    meta("rendition:layout", "pre-paginated");
    meta("rendition:spread", "none");
    meta("media:active-class", kActiveClass);
    std::int64_t total = 0;
    for (const ExportedPage& page : book.pages) {
        if (!page.overlay.empty()) {
            doc.Element("meta",
                        {{"property", "media:duration"}, {"refines", "#" + OverlayId(page)}},
                        ClockValue(OverlayLength(page)));
            total += OverlayLength(page);
        }
    }
    meta("media:duration", ClockValue(total));
    for (const char* mode : {"textual", "visual", "auditory"}) {
        meta("schema:accessMode", mode);
    }
    meta("schema:accessModeSufficient", "textual,visual");
    meta("schema:accessModeSufficient", "auditory,visual");
    for (const char* feature : {"synchronizedAudioText", "pageNavigation", "readingOrder"}) {
        meta("schema:accessibilityFeature", feature);
    }
    meta("schema:accessibilityHazard", "none");
    meta("schema:accessibilitySummary",
         "A picture book for children learning to read. Every page is read aloud, and the words "
         "are highlighted as they are spoken; the pictures illustrate the words. The page's "
         "animations are shown as still pictures.");
    doc->writeEndElement();

    doc->writeStartElement(QStringLiteral("manifest"));
    const auto item = [&](const std::string& id, const std::string& href, const std::string& type,
                          const std::string& properties = {}, const std::string& overlay = {}) {
        doc->writeStartElement(QStringLiteral("item"));
        doc->writeAttribute(QStringLiteral("id"), Q(id));
        doc->writeAttribute(QStringLiteral("href"), Q(href));
        doc->writeAttribute(QStringLiteral("media-type"), Q(type));
        if (!properties.empty()) {
            doc->writeAttribute(QStringLiteral("properties"), Q(properties));
        }
        if (!overlay.empty()) {
            doc->writeAttribute(QStringLiteral("media-overlay"), Q(overlay));
        }
        doc->writeEndElement();
    };
    item("nav", "nav.xhtml", "application/xhtml+xml", "nav");
    item("css", kStyleSheetFile, "text/css");
    item("font", kFontFile, "font/ttf");
    item("narration", kAudioFile, "audio/mpeg");
    const std::string coverPicture = book.pages.empty() ? std::string() : book.pages[0].pictureFile;
    int pictures = 0;
    for (const auto& [name, png] : book.pictures) {
        item("picture" + std::to_string(++pictures), name, "image/png",
             name == coverPicture ? "cover-image" : "");
    }
    for (const ExportedPage& page : book.pages) {
        item(page.name, page.name + ".xhtml", "application/xhtml+xml", "",
             page.overlay.empty() ? "" : OverlayId(page));
        if (!page.overlay.empty()) {
            item(OverlayId(page), page.name + ".smil", "application/smil+xml");
        }
    }
    doc->writeEndElement();

    doc->writeStartElement(QStringLiteral("spine"));
    doc->writeAttribute(QStringLiteral("page-progression-direction"), QStringLiteral("ltr"));
    for (const ExportedPage& page : book.pages) {
        doc.Element("itemref", {{"idref", page.name}});
    }
    doc->writeEndElement();
    doc->writeEndElement();
    return doc.Finish();
}

struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

} // namespace

std::string ClockValue(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld",
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

std::string OverlaySmil(const ExportedPage& page, const std::string& audioFile) {
    XmlDocument doc;
    doc->writeStartElement(QStringLiteral("smil"));
    doc->writeDefaultNamespace(QStringLiteral("http://www.w3.org/ns/SMIL"));
    doc->writeNamespace(Q(kEpubNamespace), QStringLiteral("epub"));
    doc->writeAttribute(QStringLiteral("version"), QStringLiteral("3.0"));
    doc->writeStartElement(QStringLiteral("body"));
    int number = 0;
    for (const OverlayClip& clip : page.overlay) {
        doc->writeStartElement(QStringLiteral("par"));
        doc->writeAttribute(QStringLiteral("id"), Q("par" + std::to_string(++number)));
        doc.Element("text", {{"src", page.name + ".xhtml#" + clip.textId}});
        doc.Element("audio", {{"src", audioFile},
                              {"clipBegin", Seconds(clip.beginMs)},
                              {"clipEnd", Seconds(clip.endMs)}});
        doc->writeEndElement();
    }
    doc->writeEndElement();
    doc->writeEndElement();
    return doc.Finish();
}

std::map<std::string, std::string> EpubFiles(const ExportedBook& book) {
    std::map<std::string, std::string> files;
    const std::string in = kContentFolder;
    files["mimetype"] = "application/epub+zip";
    files["META-INF/container.xml"] = Container();
    files[in + "package.opf"] = Package(book);
    files[in + "nav.xhtml"] = Navigation(book);
    files[in + kStyleSheetFile] = StyleSheet(book);
    files[in + kFontFile] = book.font;
    files[in + kAudioFile] = book.narration.mp3;
    for (const auto& [name, png] : book.pictures) {
        files[in + name] = png;
    }
    for (const ExportedPage& page : book.pages) {
        files[in + page.name + ".xhtml"] = PageXhtml(book, page);
        if (!page.overlay.empty()) {
            files[in + page.name + ".smil"] = OverlaySmil(page, kAudioFile);
        }
    }
    return files;
}

void WriteEpubContainer(const std::map<std::string, std::string>& files, const std::string& path) {
    // Our own temporary name beside path: libzip would read an existing path as an archive to
    // update, and a failure must leave path as it was.
    const std::string temp = path + ".partial-" + std::to_string(::getpid());
    const auto fail = [&](const std::string& why) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return ToolError(path + ": " + why);
    };
    int error = 0;
    std::unique_ptr<zip_t, ZipDiscarder> archive(
        zip_open(temp.c_str(), ZIP_CREATE | ZIP_EXCL, &error));
    if (!archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, error);
        const std::string why = zip_error_strerror(&reason);
        zip_error_fini(&reason);
        throw fail(why);
    }
    const auto add = [&](const std::string& name, const std::string& bytes) {
        zip_source_t* source = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            throw fail(zip_strerror(archive.get()));
        }
        // Pictures and sound are compressed already; the mimetype entry must be stored as it is.
        const bool store = name == "mimetype" || name.ends_with(".png") || name.ends_with(".mp3");
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                 store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    };
    add("mimetype", files.at("mimetype"));
    for (const auto& [name, bytes] : files) {
        if (name != "mimetype") {
            add(name, bytes);
        }
    }
    if (zip_close(archive.get()) != 0) {
        throw fail(zip_strerror(archive.get()));
    }
    archive.release();
    std::error_code renamed;
    std::filesystem::rename(temp, path, renamed);
    if (renamed) {
        throw fail(renamed.message());
    }
}

} // namespace tavelio::book
