#include "tests/host/windows/com_stand_in.h"

#include <oleauto.h>

#include <memory>
#include <utility>

#include "host/com/com_values.h"
#include "host/com/host_automation.h"

namespace velmora::testing {
namespace {

using com::kHostApplicationClass;

// The placeholder entries of the tables: never called by the tool.
#define SLOT(n) \
    HRESULT STDMETHODCALLTYPE slot##n() override { return E_NOTIMPL; }
#define SLOTS10(t) SLOT(t##0) SLOT(t##1) SLOT(t##2) SLOT(t##3) SLOT(t##4) SLOT(t##5) SLOT(t##6) SLOT(t##7) SLOT(t##8) SLOT(t##9)

// Runs a forwarded call: a HostError of the fake is the host's failure code.
template <class F>
HRESULT answer(F&& call) {
    try {
        call();
        return S_OK;
    } catch (const HostError&) {
        return E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

BSTR bstr(const std::u16string& text) {
    return ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// The reference counting and IDispatch of every stand-in object; the object
// answers to IUnknown, IDispatch and its own interface I.
template <class I>
class Object : public I {
public:
    explicit Object(StandInContext& context) : context_(context) { ++context_.live; }
    virtual ~Object() { --context_.live; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(I)) return E_NOINTERFACE;
        *out = static_cast<I*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    StandInContext& context_;

private:
    ULONG refs_ = 1;
};

// A new object handed out with one reference, owned by COM's counting.
template <class T, class I, class... A>
void handOut(I** out, A&&... args) {
    *out = std::make_unique<T>(std::forward<A>(args)...).release();
}

class EntityObject : public Object<IDispatch> {
public:
    EntityObject(StandInContext& context, std::shared_ptr<HostEntity> entity)
        : Object(context), entity(std::move(entity)) {}
    const std::shared_ptr<HostEntity> entity;
};

// What the tool sent, in the host's terms; a malformed value is noted so
// that the call lists show it.
HostValue received(StandInContext& context, const VARIANT& v) {
    if (v.vt == VT_EMPTY) return std::monostate{};
    if (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND) return HostOmitted{};
    if (v.vt == VT_I4) return std::int32_t{v.lVal};
    if (v.vt == VT_BSTR) return com::textOf(v.bstrVal);
    if (v.vt == (VT_ARRAY | VT_R8) && ::SafeArrayGetDim(v.parray) == 1) {
        LONG low = -1, high = -1;
        ::SafeArrayGetLBound(v.parray, 1, &low);
        ::SafeArrayGetUBound(v.parray, 1, &high);
        if (low == 0 && high == 2) {
            double xyz[3] = {};
            for (LONG i = 0; i < 3; ++i) ::SafeArrayGetElement(v.parray, &i, &xyz[i]);
            return HostPoint{xyz[0], xyz[1], xyz[2]};
        }
    }
    if (v.vt == VT_DISPATCH && v.pdispVal) return static_cast<EntityObject*>(v.pdispVal)->entity;
    if (context.calls) context.calls->push_back("malformed VARIANT " + std::to_string(v.vt));
    throw HostError("malformed VARIANT");
}

class StateObject : public Object<IHostState> {
public:
    StateObject(StandInContext& context, std::unique_ptr<HostObject> state)
        : Object(context), state_(queryInterface<HostState>(std::move(state))) {}
    HRESULT STDMETHODCALLTYPE isHostReady(VARIANT_BOOL* ready) override {
        return answer([&] { *ready = state_->isHostReady() ? VARIANT_TRUE : VARIANT_FALSE; });
    }

private:
    std::unique_ptr<HostState> state_;
};

class LayerObject : public Object<IHostLayer> {
public:
    LayerObject(StandInContext& context, std::unique_ptr<HostObject> layer)
        : Object(context), layer_(queryInterface<HostLayer>(std::move(layer))) {}
    SLOT(7) SLOT(8) SLOT(9) SLOTS10(1)
    HRESULT STDMETHODCALLTYPE colorIndex(long* color) override { return answer([&] { *color = layer_->colorIndex(); }); }
    SLOT(21) SLOT(22) SLOT(23)
    HRESULT STDMETHODCALLTYPE hiddenStateA(VARIANT_BOOL* hidden) override {
        return answer([&] { *hidden = layer_->hiddenStateA() ? VARIANT_TRUE : VARIANT_FALSE; });
    }
    SLOT(25) SLOT(26) SLOT(27)
    HRESULT STDMETHODCALLTYPE linetypeName(BSTR* name) override {
        return answer([&] { *name = bstr(layer_->linetypeName()); });
    }
    SLOT(29)
    HRESULT STDMETHODCALLTYPE hiddenStateB(VARIANT_BOOL* hidden) override {
        return answer([&] { *hidden = layer_->hiddenStateB() ? VARIANT_TRUE : VARIANT_FALSE; });
    }
    SLOT(31)
    HRESULT STDMETHODCALLTYPE layerName(BSTR* name) override { return answer([&] { *name = bstr(layer_->layerName()); }); }

private:
    std::unique_ptr<HostLayer> layer_;
};

class BlockObject : public Object<IHostBlock> {
public:
    BlockObject(StandInContext& context, std::unique_ptr<HostObject> block)
        : Object(context), block_(queryInterface<HostBlock>(std::move(block))) {}
    SLOT(7) SLOT(8) SLOT(9) SLOTS10(1) SLOT(20) SLOT(21) SLOT(22)
    HRESULT STDMETHODCALLTYPE blockName(BSTR* name) override { return answer([&] { *name = bstr(block_->blockName()); }); }

private:
    std::unique_ptr<HostBlock> block_;
};

class CollectionObject : public Object<IHostCollection> {
public:
    CollectionObject(StandInContext& context, std::unique_ptr<HostCollection> collection, bool layers)
        : Object(context), collection_(std::move(collection)), layers_(layers) {}
    SLOT(7) SLOT(8) SLOT(9) SLOTS10(1)
    HRESULT STDMETHODCALLTYPE item(VARIANT index, IDispatch** element) override {
        *element = nullptr;
        return answer([&] {
            auto object = collection_->item(received(context_, index));
            if (layers_) {
                IHostLayer* layer = nullptr;
                handOut<LayerObject>(&layer, context_, std::move(object));
                *element = layer;
            } else {
                IHostBlock* block = nullptr;
                handOut<BlockObject>(&block, context_, std::move(object));
                *element = block;
            }
        });
    }
    HRESULT STDMETHODCALLTYPE itemCount(long* count) override { return answer([&] { *count = collection_->itemCount(); }); }

private:
    std::unique_ptr<HostCollection> collection_;
    bool layers_;
};

// An array of VARIANTs with the given bounds per dimension.
SAFEARRAY* variantArray(const std::vector<SAFEARRAYBOUND>& bounds) {
    return ::SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), const_cast<SAFEARRAYBOUND*>(bounds.data()));
}

class ReferenceObject : public Object<IHostReference> {
public:
    ReferenceObject(StandInContext& context, std::unique_ptr<HostReference> reference)
        : Object(context), reference_(std::move(reference)) {}
    SLOT(7) SLOT(8) SLOT(9) SLOT(10)
    HRESULT STDMETHODCALLTYPE discardCopiedReference() override {
        return answer([&] { reference_->discardCopiedReference(); });
    }
    SLOT(12) SLOT(13) SLOT(14) SLOT(15) SLOT(16) SLOT(17) SLOT(18)
    HRESULT STDMETHODCALLTYPE deleteReference() override { return answer([&] { reference_->deleteReference(); }); }
    SLOTS10(2) SLOTS10(3) SLOTS10(4) SLOTS10(5) SLOT(60) SLOT(61) SLOT(62) SLOT(63) SLOT(64)
    SLOT(65) SLOT(66) SLOT(67) SLOT(68)
    HRESULT STDMETHODCALLTYPE explodeReference(VARIANT* entities) override {
        ::VariantInit(entities);
        return answer([&] {
            const auto exploded = std::get<HostEntityArray>(reference_->explodeReference());
            const auto n = static_cast<ULONG>(exploded.size());
            SAFEARRAY* array = nullptr;
            switch (context_.fault) {
                case StandInFault::ExplodeEmptyVariant: return;
                case StandInFault::ExplodeLowerBoundOne: array = variantArray({{n, 1}}); break;
                case StandInFault::ExplodeTwoDimensions: array = variantArray({{n, 0}, {1, 0}}); break;
                default: array = variantArray({{n, 0}}); break;
            }
            for (LONG i = 0; i < static_cast<LONG>(n); ++i) {
                VARIANT element;
                ::VariantInit(&element);
                if (context_.fault == StandInFault::ExplodeStrings) {
                    element.vt = VT_BSTR;
                    element.bstrVal = bstr(u"entity");
                } else {
                    IDispatch* entity = nullptr;
                    handOut<EntityObject>(&entity, context_, exploded[static_cast<std::size_t>(i)]);
                    element.vt = VT_DISPATCH;
                    element.pdispVal = entity;
                }
                LONG at[2] = {context_.fault == StandInFault::ExplodeLowerBoundOne ? i + 1 : i, 0};
                ::SafeArrayPutElement(array, at, &element);  // copies
                ::VariantClear(&element);
            }
            entities->vt = VT_ARRAY | VT_VARIANT;
            entities->parray = array;
        });
    }

private:
    std::unique_ptr<HostReference> reference_;
};

class SpaceObject : public Object<IHostSpace> {
public:
    SpaceObject(StandInContext& context, std::unique_ptr<HostSpace> space) : Object(context), space_(std::move(space)) {}
    SLOT(7) SLOT(8) SLOT(9) SLOTS10(1) SLOTS10(2) SLOTS10(3) SLOTS10(4) SLOTS10(5)
    SLOT(60) SLOT(61) SLOT(62) SLOT(63) SLOT(64) SLOT(65)
    HRESULT STDMETHODCALLTYPE insertReference(VARIANT point, BSTR name, double xs, double ys, double zs, double rotation,
                                              VARIANT extra, IHostReference** reference) override {
        *reference = nullptr;
        return answer([&] {
            auto inserted = space_->insertReference(received(context_, point), com::textOf(name), xs, ys, zs, rotation,
                                                    received(context_, extra));
            handOut<ReferenceObject>(reference, context_, std::move(inserted));
        });
    }

private:
    std::unique_ptr<HostSpace> space_;
};

class SelectionObject : public Object<IHostSelection> {
public:
    SelectionObject(StandInContext& context, std::unique_ptr<HostSelection> selection)
        : Object(context), selection(std::move(selection)) {}
    SLOT(7) SLOT(8) SLOT(9) SLOT(10) SLOT(11)
    HRESULT STDMETHODCALLTYPE eraseSelected() override { return answer([&] { selection->eraseSelected(); }); }
    SLOT(13) SLOT(14)
    HRESULT STDMETHODCALLTYPE addToSelection(VARIANT entity) override {
        return answer([&] { selection->addToSelection(received(context_, entity)); });
    }
    SLOT(16)
    HRESULT STDMETHODCALLTYPE clearSelection() override { return answer([&] { selection->clearSelection(); }); }

    const std::unique_ptr<HostSelection> selection;
};

class DocumentObject : public Object<IHostDocument> {
public:
    DocumentObject(StandInContext& context, std::unique_ptr<HostDocument> document)
        : Object(context), document_(std::move(document)) {}
    HRESULT STDMETHODCALLTYPE insertionSpace(IHostSpace** space) override {
        *space = nullptr;
        return answer([&] { handOut<SpaceObject>(space, context_, document_->insertionSpace()); });
    }
    SLOT(8)
    HRESULT STDMETHODCALLTYPE blockCollection(IHostCollection** blocks) override {
        *blocks = nullptr;
        return answer([&] { handOut<CollectionObject>(blocks, context_, document_->blockCollection(), false); });
    }
    SLOT(10) SLOT(11) SLOT(12)
    HRESULT STDMETHODCALLTYPE layerCollection(IHostCollection** layers) override {
        *layers = nullptr;
        return answer([&] { handOut<CollectionObject>(layers, context_, document_->layerCollection(), true); });
    }
    SLOT(14) SLOT(15) SLOT(16) SLOT(17) SLOT(18) SLOT(19) SLOTS10(2) SLOTS10(3) SLOTS10(4)
    SLOT(50) SLOT(51) SLOT(52) SLOT(53)
    HRESULT STDMETHODCALLTYPE selectionObject(IHostSelection** selection) override {
        *selection = nullptr;
        return answer([&] { handOut<SelectionObject>(selection, context_, document_->selectionObject()); });
    }
    HRESULT STDMETHODCALLTYPE documentFullName(BSTR* name) override {
        return answer([&] { *name = bstr(document_->documentFullName()); });
    }
    SLOT(56) SLOT(57) SLOT(58) SLOT(59) SLOTS10(6) SLOT(70) SLOT(71)
    HRESULT STDMETHODCALLTYPE writeBlock(BSTR fileName, IHostSelection* selection) override {
        return answer([&] {
            if (!selection) throw HostError("no selection");
            document_->writeBlock(com::textOf(fileName), *static_cast<SelectionObject*>(selection)->selection);
        });
    }
    SLOT(73)
    HRESULT STDMETHODCALLTYPE getSystemVariable(BSTR name, VARIANT* value) override {
        ::VariantInit(value);
        return answer([&] {
            const HostValue v = document_->getSystemVariable(com::textOf(name));
            if (context_.fault == StandInFault::VariableAsDouble) {
                value->vt = VT_R8;
                value->dblVal = 1.0;
            } else if (const auto* i = std::get_if<std::int32_t>(&v)) {
                value->vt = VT_I4;
                value->lVal = *i;
            } else if (const auto* s = std::get_if<std::u16string>(&v)) {
                value->vt = VT_BSTR;
                value->bstrVal = bstr(*s);
            }
        });
    }
    HRESULT STDMETHODCALLTYPE setSystemVariable(BSTR name, VARIANT value) override {
        return answer([&] { document_->setSystemVariable(com::textOf(name), received(context_, value)); });
    }
    SLOT(76) SLOT(77) SLOT(78) SLOT(79) SLOT(80) SLOT(81) SLOT(82) SLOT(83) SLOT(84)
    SLOT(85) SLOT(86) SLOT(87) SLOT(88)
    HRESULT STDMETHODCALLTYPE sendCommand(BSTR command) override {
        return answer([&] { document_->sendCommand(com::textOf(command)); });
    }

private:
    std::unique_ptr<HostDocument> document_;
};

class ApplicationObject : public Object<::InanoCADApplication> {
public:
    ApplicationObject(StandInContext& context, std::unique_ptr<velmora::InanoCADApplication> application)
        : Object(context), application_(std::move(application)) {}
    SLOT(7) SLOT(8) SLOT(9) SLOT(10) SLOT(11) SLOT(12)
    HRESULT STDMETHODCALLTYPE currentDocument(IHostDocument** document) override {
        *document = nullptr;
        return answer([&] {
            auto current = application_->currentDocument();
            if (context_.fault != StandInFault::NoDocument) handOut<DocumentObject>(document, context_, std::move(current));
        });
    }
    SLOT(14) SLOT(15) SLOT(16) SLOT(17) SLOT(18) SLOT(19) SLOTS10(2) SLOT(30)
    HRESULT STDMETHODCALLTYPE getWindowState(long* state) override {
        return answer([&] { *state = application_->getWindowState(); });
    }
    HRESULT STDMETHODCALLTYPE setWindowState(long state) override {
        return answer([&] { application_->setWindowState(state); });
    }
    SLOT(33) SLOT(34) SLOT(35) SLOT(36) SLOT(37) SLOT(38)
    HRESULT STDMETHODCALLTYPE getHostState(IDispatch** state) override {
        *state = nullptr;
        return answer([&] {
            auto hostState = application_->getHostState();
            if (context_.fault == StandInFault::StateWithoutInterface) {
                handOut<EntityObject>(state, context_, nullptr);
            } else {
                IHostState* typed = nullptr;
                handOut<StateObject>(&typed, context_, std::move(hostState));
                *state = typed;
            }
        });
    }
    SLOT(40)
    HRESULT STDMETHODCALLTYPE getMainWindowHandle(long* window) override {
        return answer([&] { *window = static_cast<long>(application_->getMainWindowHandle()); });
    }

private:
    std::unique_ptr<velmora::InanoCADApplication> application_;
};

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return ::DefWindowProcW(window, message, w, l);
}

HWND createHostWindow() {
    static const ATOM windowClass = [] {
        WNDCLASSW description{};
        description.lpfnWndProc = windowProcedure;
        description.hInstance = ::GetModuleHandleW(nullptr);
        description.lpszClassName = L"VelmoraStandInHost";
        return ::RegisterClassW(&description);
    }();
    return ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(windowClass)), L"nanoCAD 5",
                             WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

ComStandIn::ComStandIn(const ApplicationMaker& makeApplication, std::vector<std::string>* calls, bool registered)
    : context_{calls} {
    window_ = createHostWindow();
    ::InanoCADApplication* application = nullptr;
    handOut<ApplicationObject>(&application, context_, makeApplication(window_));
    application_ = application;
    if (registered) ::RegisterActiveObject(application_, kHostApplicationClass, ACTIVEOBJECT_STRONG, &registration_);
}

ComStandIn::ComStandIn(FakeHost& host, bool registered)
    : ComStandIn(
          [&host](HWND window) {
              host.mainWindow = static_cast<WindowHandle>(reinterpret_cast<ULONG_PTR>(window));
              return std::make_unique<FakeApplication>(host);
          },
          &host.calls, registered) {}

ComStandIn::~ComStandIn() {
    revoke();
    application_->Release();
}

void ComStandIn::revoke() {
    if (registration_) ::RevokeActiveObject(registration_, nullptr);
    registration_ = 0;
    if (window_) ::DestroyWindow(window_);
    window_ = nullptr;
}

}  // namespace velmora::testing
