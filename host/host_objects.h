// The host CAD's automation objects as the tool sees them: one abstract class
// per interface of its automation model. Every operation either succeeds or
// throws HostError (the host's failure code). Host objects are owned by the
// caller and released when the user action that obtained them ends.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/window_functions.h"

namespace velmora {

// A failure code of a host operation, or a host that cannot be reached.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Base of every object the host hands out; `queryInterface` asks an object
// for a more specific interface.
class HostObject {
public:
    virtual ~HostObject() = default;
};

// An entity of the drawing (an element of an exploded reference).
class HostEntity : public HostObject {};

struct HostPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

// The optional argument left out ("parameter not given").
struct HostOmitted {};

using HostEntityArray = std::vector<std::shared_ptr<HostEntity>>;

// A VARIANT: nothing (an empty point), the omitted argument, a signed 32-bit
// integer, a wide string, a point, one entity, or an array of entities with
// lower bound 0 (its high bound is size() - 1).
using HostValue = std::variant<std::monostate, HostOmitted, std::int32_t, std::u16string, HostPoint,
                               std::shared_ptr<HostEntity>, HostEntityArray>;

class HostState : public HostObject {
public:
    virtual bool isHostReady() = 0;
};

class HostLayer : public HostObject {
public:
    virtual std::int32_t colorIndex() = 0;
    virtual bool hiddenStateA() = 0;
    virtual std::u16string linetypeName() = 0;
    virtual bool hiddenStateB() = 0;
    virtual std::u16string layerName() = 0;
};

class HostBlock : public HostObject {
public:
    virtual std::u16string blockName() = 0;
};

// Layers and blocks alike; positions 0 to itemCount() - 1.
class HostCollection : public HostObject {
public:
    virtual std::unique_ptr<HostObject> item(const HostValue& index) = 0;
    virtual std::int32_t itemCount() = 0;
};

class HostReference : public HostObject {
public:
    virtual void discardCopiedReference() = 0;
    virtual void deleteReference() = 0;
    virtual HostValue explodeReference() = 0;
};

class HostSpace : public HostObject {
public:
    // `blockName` is a block definition of the drawing or the full name of a
    // drawing file.
    virtual std::unique_ptr<HostReference> insertReference(const HostValue& point,
                                                           const std::u16string& blockName, double xScale,
                                                           double yScale, double zScale, double rotation,
                                                           const HostValue& optional) = 0;
};

class HostSelection : public HostObject {
public:
    virtual void eraseSelected() = 0;
    virtual void addToSelection(const HostValue& entity) = 0;
    virtual void clearSelection() = 0;
};

class HostDocument : public HostObject {
public:
    virtual std::unique_ptr<HostSpace> insertionSpace() = 0;
    virtual std::unique_ptr<HostCollection> blockCollection() = 0;
    virtual std::unique_ptr<HostCollection> layerCollection() = 0;
    virtual std::unique_ptr<HostSelection> selectionObject() = 0;
    virtual std::u16string documentFullName() = 0;
    virtual void writeBlock(const std::u16string& fileName, HostSelection& selection) = 0;
    virtual HostValue getSystemVariable(const std::u16string& name) = 0;
    virtual void setSystemVariable(const std::u16string& name, const HostValue& value) = 0;
    virtual void sendCommand(const std::u16string& command) = 0;
};

class InanoCADApplication : public HostObject {
public:
    virtual std::unique_ptr<HostDocument> currentDocument() = 0;
    virtual std::int32_t getWindowState() = 0;
    virtual void setWindowState(std::int32_t state) = 0;
    virtual std::unique_ptr<HostObject> getHostState() = 0;
    virtual WindowHandle getMainWindowHandle() = 0;
};

// Asks `object` for interface T; a HostError when it does not answer to it.
template <class T>
std::unique_ptr<T> queryInterface(std::unique_ptr<HostObject> object) {
    T* typed = dynamic_cast<T*>(object.get());
    if (!typed) throw HostError("the host object does not support the requested interface");
    object.release();
    return std::unique_ptr<T>(typed);
}

inline constexpr const char16_t* kHostWindowTitle = u"nanoCAD 5";

}  // namespace velmora
