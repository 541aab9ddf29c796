#include "Xml.h"

#include <pugixml.hpp>

namespace fw {

namespace {

pugi::xml_node nodeOf(const void* node) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(const_cast<void*>(node)));
}

pugi::xml_node elementFrom(pugi::xml_node node) {
    while (node && node.type() != pugi::node_element) node = node.next_sibling();
    return node;
}

}  // namespace

struct XmlDocument::Impl {
    pugi::xml_document document;
};

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {}
XmlDocument::~XmlDocument() = default;

bool XmlDocument::load(const std::string& path) {
    return static_cast<bool>(impl_->document.load_file(path.c_str(), pugi::parse_default));
}

bool XmlDocument::loadText(std::string_view text, std::string& problem) {
    const pugi::xml_parse_result result =
        impl_->document.load_buffer(text.data(), text.size(), pugi::parse_default);
    if (!result) problem = std::string(result.description()) + " at byte " + std::to_string(result.offset);
    return static_cast<bool>(result);
}

XmlElement XmlDocument::root() const { return XmlElement(impl_->document.document_element().internal_object()); }

const char* XmlElement::name() const { return nodeOf(node_).name(); }

XmlElement XmlElement::firstChild() const { return XmlElement(elementFrom(nodeOf(node_).first_child()).internal_object()); }

XmlElement XmlElement::nextSibling() const {
    return XmlElement(elementFrom(nodeOf(node_).next_sibling()).internal_object());
}

bool XmlElement::attribute(const char* name, std::string& value) const {
    const pugi::xml_attribute attr = nodeOf(node_).attribute(name);
    if (!attr) return false;
    value = attr.value();
    return true;
}

bool XmlElement::onlyText(std::string& text) const {
    text.clear();
    for (pugi::xml_node child = nodeOf(node_).first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) return false;
        text += child.value();
    }
    return true;
}

}  // namespace fw
