#ifdef _WIN32

#include <windows.h>
// clang-format off
#include <objidl.h>
#include <xmllite.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/model/node.h"
#include "app/outline/outline_xml.h"
#include "unicode/utf.h"

namespace {
// XmlLite ships with Windows (and Wine) but not every toolchain has its import library, so
// the one entry point is found by name.
using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

CreateXmlReaderFunction createXmlReaderFunction() {
    static const CreateXmlReaderFunction function = [] {
        HMODULE module = LoadLibraryW(L"xmllite.dll");
        return module == nullptr ? nullptr
                                 : reinterpret_cast<CreateXmlReaderFunction>(
                                       reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlReader")));
    }();
    return function;
}

// The document, read in place: the reader pulls it through this stream.
class MemoryStream final : public ISequentialStream {
  public:
    explicit MemoryStream(std::string_view bytes) : bytes_(bytes) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == __uuidof(IUnknown) || id == __uuidof(ISequentialStream)) {
            *object = static_cast<ISequentialStream*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the parsing function's stack, which outlives the reader's references.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
        const std::size_t left = bytes_.size() - offset_;
        const ULONG n = left < count ? static_cast<ULONG>(left) : count;
        if (n > 0) std::memcpy(buffer, bytes_.data() + offset_, n);
        offset_ += n;
        if (read != nullptr) *read = n;
        return n < count ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

  private:
    std::string_view bytes_;
    std::size_t offset_ = 0;
    ULONG references_ = 1;
};

template <class Interface>
class ComPointer {
  public:
    ComPointer() = default;
    ~ComPointer() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    void** out() { return reinterpret_cast<void**>(&pointer_); }

  private:
    Interface* pointer_ = nullptr;
};

void appendUtf8(std::string& out, const WCHAR* text, UINT length) {
    out.clear();
    unicode::appendUtf8(out, std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// Names and values of the element's attributes, converted while the reader stands on each.
bool readAttributes(IXmlReader& reader, std::vector<std::string>& storage) {
    storage.clear();
    HRESULT result = reader.MoveToFirstAttribute();
    while (result == S_OK) {
        const WCHAR* text = nullptr;
        UINT length = 0;
        storage.emplace_back();
        if (FAILED(reader.GetQualifiedName(&text, &length))) return false;
        appendUtf8(storage.back(), text, length);
        storage.emplace_back();
        if (FAILED(reader.GetValue(&text, &length))) return false;
        appendUtf8(storage.back(), text, length);
        result = reader.MoveToNextAttribute();
    }
    return SUCCEEDED(result) && SUCCEEDED(reader.MoveToElement());
}
}  // namespace

bool parseXml(std::string_view bytes, XmlEvents& events, std::string& error) {
    const CreateXmlReaderFunction create = createXmlReaderFunction();
    ComPointer<IXmlReader> reader;
    if (create == nullptr || FAILED(create(__uuidof(IXmlReader), reader.out(), nullptr))) {
        error = "the system's XML reader (xmllite.dll) is not available";
        return false;
    }
    MemoryStream stream(bytes);
    // Document types are refused outright (no entity can be declared); the element depth is
    // bounded well beyond the deepest outline the importers accept, which stop first.
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    reader->SetProperty(XmlReaderProperty_MaxElementDepth, 2 * kMaxDepth + 64);
    if (FAILED(reader->SetInput(&stream))) {
        error = "the XML reader refused its input";
        return false;
    }
    std::vector<std::string> storage;
    std::vector<XmlAttribute> attributes;
    std::string name;
    std::string text;
    XmlNodeType type = XmlNodeType_None;
    HRESULT result = S_OK;
    bool stopped = false;
    int openElements = 0;
    UINT lastLine = 0;
    UINT lastColumn = 0;
    XmlNodeType lastType = XmlNodeType_None;
    while (!stopped && (result = reader->Read(&type)) == S_OK) {
        // Wine's reader answers S_OK with no node at the end of a truncated document.
        if (type == XmlNodeType_None) break;
        // and may hand out the same node again and again past an error: a reader that does not
        // move on has met the end of what it can read.
        UINT atLine = 0;
        UINT atColumn = 0;
        reader->GetLineNumber(&atLine);
        reader->GetLinePosition(&atColumn);
        if (atLine == lastLine && atColumn == lastColumn && type == lastType) break;
        lastLine = atLine;
        lastColumn = atColumn;
        lastType = type;
        const WCHAR* value = nullptr;
        UINT length = 0;
        switch (type) {
            case XmlNodeType_Element: {
                const bool empty = reader->IsEmptyElement() != FALSE;
                if (FAILED(reader->GetQualifiedName(&value, &length))) {
                    result = E_FAIL;
                    stopped = true;
                    break;
                }
                appendUtf8(name, value, length);
                if (!readAttributes(*reader.get(), storage)) {
                    result = E_FAIL;
                    stopped = true;
                    break;
                }
                attributes.clear();
                for (std::size_t i = 0; i + 1 < storage.size(); i += 2) {
                    attributes.push_back({storage[i], storage[i + 1]});
                }
                if (!empty) ++openElements;
                stopped = !events.startElement(name, attributes) || (empty && !events.endElement());
                break;
            }
            case XmlNodeType_EndElement:
                --openElements;
                stopped = !events.endElement();
                break;
            case XmlNodeType_Text:
            case XmlNodeType_CDATA:
            case XmlNodeType_Whitespace:
                if (SUCCEEDED(reader->GetValue(&value, &length))) {
                    appendUtf8(text, value, length);
                    stopped = !events.characters(text);
                }
                break;
            default:
                break;
        }
    }
    UINT line = 0;
    reader->GetLineNumber(&line);
    if (stopped && SUCCEEDED(result)) {
        error = "line " + std::to_string(line) + ": " +
                (events.error.empty() ? std::string("the outline reader stopped") : events.error);
        return false;
    }
    if (SUCCEEDED(result) && openElements != 0) {
        error = "malformed XML at line " + std::to_string(line) + ": the document ends inside an element";
        return false;
    }
    if (FAILED(result)) {
        UINT column = 0;
        reader->GetLinePosition(&column);
        char code[16];
        std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
        error = "malformed XML at line " + std::to_string(line) + ", column " + std::to_string(column) +
                (static_cast<unsigned long>(result) == static_cast<unsigned long>(WC_E_DTDPROHIBITED)
                     ? std::string(": document type declarations are not accepted")
                     : ": XmlLite error 0x" + std::string(code));
        return false;
    }
    return true;
}

#endif
