#pragma once

#include <memory>
#include <string>
#include <string_view>

// A read-only view of an XML document tree through pugixml. Only element
// nodes are visited; names are as the document writes them, prefix included.
namespace fw {

class XmlElement {
public:
    XmlElement() = default;
    explicit operator bool() const { return node_ != nullptr; }
    const char* name() const;
    XmlElement firstChild() const;   // first child element
    XmlElement nextSibling() const;  // next sibling element
    // False when the attribute is missing.
    bool attribute(const char* name, std::string& value) const;
    // True with the text when every child of the element is text (or there is none).
    bool onlyText(std::string& text) const;

private:
    friend class XmlDocument;
    explicit XmlElement(const void* node) : node_(node) {}
    const void* node_ = nullptr;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;
    // False when the file cannot be read or is not well-formed XML.
    bool load(const std::string& path);
    // False when `text` is not well-formed XML; `problem` then says what is
    // wrong and at which byte.
    bool loadText(std::string_view text, std::string& problem);
    XmlElement root() const;  // the document element

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace fw
