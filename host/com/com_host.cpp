#include "host/com/com_host.h"

#include "host/com/com_values.h"
#include "host/com/host_automation.h"

namespace velmora::com {
namespace {

class Apartment {
public:
    Apartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~Apartment() {
        if (initialised_) ::CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

private:
    bool initialised_;
};

// An object a call returned; an S_OK with no object is the host's failure too.
template <class I>
ComPtr<I> required(ComPtr<I> object, const char* operation) {
    if (!object) throw HostError(std::string("the host's ") + operation + " gave no object");
    return object;
}

// The host hands out a collection's elements as IDispatch; they are its
// layer or block interfaces, called through their tables as the type
// library declares them (their own identifiers are not the tool's to ask).
template <class I>
ComPtr<I> asElement(ComPtr<IDispatch> element) {
    return ComPtr<I>(reinterpret_cast<I*>(element.Get()));  // its own reference; `element` lets go of one
}


// A string result of `call`.
template <class F>
std::u16string stringResult(F&& call, const char* operation) {
    Bstr text;
    check(call(text.out()), operation);
    return text.text();
}

class ComObject : public HostObject {
public:
    explicit ComObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

private:
    ComPtr<IDispatch> object_;
};

class ComState : public HostState {
public:
    explicit ComState(ComPtr<IHostState> state) : state_(std::move(state)) {}
    bool isHostReady() override {
        VARIANT_BOOL ready = VARIANT_FALSE;
        check(state_->isHostReady(&ready), "isHostReady");
        return ready != VARIANT_FALSE;
    }

private:
    ComPtr<IHostState> state_;
};

class ComLayer : public HostLayer {
public:
    explicit ComLayer(ComPtr<IHostLayer> layer) : layer_(std::move(layer)) {}
    std::int32_t colorIndex() override {
        long color = 0;
        check(layer_->colorIndex(&color), "colorIndex");
        return color;
    }
    bool hiddenStateA() override { return flag(&IHostLayer::hiddenStateA, "hiddenStateA"); }
    std::u16string linetypeName() override {
        return stringResult([&](BSTR* out) { return layer_->linetypeName(out); }, "linetypeName");
    }
    bool hiddenStateB() override { return flag(&IHostLayer::hiddenStateB, "hiddenStateB"); }
    std::u16string layerName() override {
        return stringResult([&](BSTR* out) { return layer_->layerName(out); }, "layerName");
    }

private:
    bool flag(HRESULT (STDMETHODCALLTYPE IHostLayer::*get)(VARIANT_BOOL*), const char* operation) {
        VARIANT_BOOL value = VARIANT_FALSE;
        check((layer_.Get()->*get)(&value), operation);
        return value != VARIANT_FALSE;
    }
    ComPtr<IHostLayer> layer_;
};

class ComBlock : public HostBlock {
public:
    explicit ComBlock(ComPtr<IHostBlock> block) : block_(std::move(block)) {}
    std::u16string blockName() override {
        return stringResult([&](BSTR* out) { return block_->blockName(out); }, "blockName");
    }

private:
    ComPtr<IHostBlock> block_;
};

class ComCollection : public HostCollection {
public:
    enum class Of { Layers, Blocks };
    ComCollection(ComPtr<IHostCollection> collection, Of of) : collection_(std::move(collection)), of_(of) {}
    std::unique_ptr<HostObject> item(const HostValue& index) override {
        Variant position;
        toVariant(index, position);
        ComPtr<IDispatch> element;
        check(collection_->item(position.get(), element.GetAddressOf()), "item");
        required(element, "item");
        if (of_ == Of::Layers) return std::make_unique<ComLayer>(asElement<IHostLayer>(std::move(element)));
        return std::make_unique<ComBlock>(asElement<IHostBlock>(std::move(element)));
    }
    std::int32_t itemCount() override {
        long count = 0;
        check(collection_->itemCount(&count), "itemCount");
        return count;
    }

private:
    ComPtr<IHostCollection> collection_;
    Of of_;
};

class ComReference : public HostReference {
public:
    explicit ComReference(ComPtr<IHostReference> reference) : reference_(std::move(reference)) {}
    void discardCopiedReference() override { check(reference_->discardCopiedReference(), "discardCopiedReference"); }
    void deleteReference() override { check(reference_->deleteReference(), "deleteReference"); }
    HostValue explodeReference() override {
        Variant entities;
        check(reference_->explodeReference(entities.out()), "explodeReference");
        HostValue value = fromVariant(entities.get());
        if (!std::holds_alternative<HostEntityArray>(value))
            throw HostError("the host's explodeReference gave no entity array");
        return value;
    }

private:
    ComPtr<IHostReference> reference_;
};

class ComSpace : public HostSpace {
public:
    explicit ComSpace(ComPtr<IHostSpace> space) : space_(std::move(space)) {}
    std::unique_ptr<HostReference> insertReference(const HostValue& point, const std::u16string& blockName,
                                                   double xScale, double yScale, double zScale, double rotation,
                                                   const HostValue& optional) override {
        Variant at, extra;
        toVariant(point, at);
        toVariant(optional, extra);
        Bstr name(blockName);
        ComPtr<IHostReference> reference;
        check(space_->insertReference(at.get(), name.get(), xScale, yScale, zScale, rotation, extra.get(),
                                      reference.GetAddressOf()),
              "insertReference");
        return std::make_unique<ComReference>(required(std::move(reference), "insertReference"));
    }

private:
    ComPtr<IHostSpace> space_;
};

class ComSelection : public HostSelection {
public:
    explicit ComSelection(ComPtr<IHostSelection> selection) : selection_(std::move(selection)) {}
    void eraseSelected() override { check(selection_->eraseSelected(), "eraseSelected"); }
    void addToSelection(const HostValue& entity) override {
        Variant value;
        toVariant(entity, value);
        check(selection_->addToSelection(value.get()), "addToSelection");
    }
    void clearSelection() override { check(selection_->clearSelection(), "clearSelection"); }
    IHostSelection* get() const { return selection_.Get(); }

private:
    ComPtr<IHostSelection> selection_;
};

class ComDocument : public HostDocument {
public:
    explicit ComDocument(ComPtr<IHostDocument> document) : document_(std::move(document)) {}
    std::unique_ptr<HostSpace> insertionSpace() override {
        ComPtr<IHostSpace> space;
        check(document_->insertionSpace(space.GetAddressOf()), "insertionSpace");
        return std::make_unique<ComSpace>(required(std::move(space), "insertionSpace"));
    }
    std::unique_ptr<HostCollection> blockCollection() override {
        return collection(&IHostDocument::blockCollection, "blockCollection", ComCollection::Of::Blocks);
    }
    std::unique_ptr<HostCollection> layerCollection() override {
        return collection(&IHostDocument::layerCollection, "layerCollection", ComCollection::Of::Layers);
    }
    std::unique_ptr<HostSelection> selectionObject() override {
        ComPtr<IHostSelection> selection;
        check(document_->selectionObject(selection.GetAddressOf()), "selectionObject");
        return std::make_unique<ComSelection>(required(std::move(selection), "selectionObject"));
    }
    std::u16string documentFullName() override {
        return stringResult([&](BSTR* out) { return document_->documentFullName(out); }, "documentFullName");
    }
    void writeBlock(const std::u16string& fileName, HostSelection& selection) override {
        auto* hosts = dynamic_cast<ComSelection*>(&selection);
        if (!hosts) throw HostError("the selection did not come from the host");
        Bstr name(fileName);
        check(document_->writeBlock(name.get(), hosts->get()), "writeBlock");
    }
    HostValue getSystemVariable(const std::u16string& name) override {
        Bstr variable(name);
        Variant value;
        check(document_->getSystemVariable(variable.get(), value.out()), "getSystemVariable");
        return fromVariant(value.get());
    }
    void setSystemVariable(const std::u16string& name, const HostValue& value) override {
        Bstr variable(name);
        Variant v;
        toVariant(value, v);
        check(document_->setSystemVariable(variable.get(), v.get()), "setSystemVariable");
    }
    void sendCommand(const std::u16string& command) override {
        Bstr text(command);
        check(document_->sendCommand(text.get()), "sendCommand");
    }

private:
    std::unique_ptr<HostCollection> collection(HRESULT (STDMETHODCALLTYPE IHostDocument::*get)(IHostCollection**),
                                               const char* operation, ComCollection::Of of) {
        ComPtr<IHostCollection> items;
        check((document_.Get()->*get)(items.GetAddressOf()), operation);
        return std::make_unique<ComCollection>(required(std::move(items), operation), of);
    }
    ComPtr<IHostDocument> document_;
};

class ComApplication : public InanoCADApplication {
public:
    explicit ComApplication(ComPtr<::InanoCADApplication> application) : application_(std::move(application)) {}
    std::unique_ptr<HostDocument> currentDocument() override {
        ComPtr<IHostDocument> document;
        check(application_->currentDocument(document.GetAddressOf()), "currentDocument");
        return std::make_unique<ComDocument>(required(std::move(document), "currentDocument"));
    }
    std::int32_t getWindowState() override {
        long state = 0;
        check(application_->getWindowState(&state), "getWindowState");
        return state;
    }
    void setWindowState(std::int32_t state) override {
        check(application_->setWindowState(state), "setWindowState");
    }
    // The state object as HostState when it answers to that interface, else
    // as a plain object that the caller's request for it refuses.
    std::unique_ptr<HostObject> getHostState() override {
        ComPtr<IDispatch> object;
        check(application_->getHostState(object.GetAddressOf()), "getHostState");
        required(object, "getHostState");
        ComPtr<IHostState> state;
        if (SUCCEEDED(object.As(&state)) && state) return std::make_unique<ComState>(std::move(state));
        return std::make_unique<ComObject>(std::move(object));
    }
    WindowHandle getMainWindowHandle() override {
        long window = 0;
        check(application_->getMainWindowHandle(&window), "getMainWindowHandle");
        return static_cast<WindowHandle>(window);
    }

private:
    ComPtr<::InanoCADApplication> application_;
};

}  // namespace

void ensureApartment() { thread_local Apartment apartment; }

std::unique_ptr<InanoCADApplication> hostApplication(IUnknown* object) {
    if (!object) return nullptr;
    ComPtr<::InanoCADApplication> application;
    if (FAILED(object->QueryInterface(IID_InanoCADApplication, reinterpret_cast<void**>(application.GetAddressOf()))) ||
        !application)
        return nullptr;
    return std::make_unique<ComApplication>(std::move(application));
}

std::unique_ptr<InanoCADApplication> activeHostApplication(WindowHandle) {
    ensureApartment();
    ComPtr<IUnknown> object;
    if (FAILED(::GetActiveObject(kHostApplicationClass, nullptr, object.GetAddressOf()))) return nullptr;
    return hostApplication(object.Get());
}

}  // namespace velmora::com
