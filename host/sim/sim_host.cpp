#include "host/sim/sim_host.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

#include "host/sim/sim_item_list.h"
#include "platform/files.h"
#include "platform/utf.h"

namespace velmora::sim {
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::uintmax_t kMaxLispBytes = 16u << 20;

class SimError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

json object(std::int64_t handle, const char* kind) { return {{"object", handle}, {"kind", kind}}; }

bool looksLikeFile(const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return true;
    std::string u = upper(name);
    return u.size() > 4 && (u.ends_with(".DWG") || u.ends_with(".DXF"));
}

std::string num(double v) { return formatReal(v); }

// Moves, scales and turns the point groups of a copied entity as the
// reference places its block.
void placeEntity(SimEntity& entity, const double base[3], const double at[3], const double scale[3],
                 double rotationDegrees) {
    double r = rotationDegrees * std::numbers::pi / 180.0;
    double c = std::cos(r), s = std::sin(r);
    auto& g = entity.groups;
    for (std::size_t i = 1; i < g.size(); ++i) {
        if (g[i].code < 10 || g[i].code > 18) continue;
        double x = (parseReal(g[i].value) - base[0]) * scale[0];
        double y = 0, z = 0;
        std::size_t yi = 0, zi = 0;
        if (i + 1 < g.size() && g[i + 1].code == g[i].code + 10) yi = i + 1;
        if (yi && yi + 1 < g.size() && g[yi + 1].code == g[i].code + 20) zi = yi + 1;
        if (yi) y = (parseReal(g[yi].value) - base[1]) * scale[1];
        if (zi) z = (parseReal(g[zi].value) - base[2]) * scale[2];
        g[i].value = num(x * c - y * s + at[0]);
        if (yi) g[yi].value = num(x * s + y * c + at[1]);
        if (zi) g[zi].value = num(z + at[2]);
        i = zi ? zi : yi ? yi : i;
    }
    std::string kind = entity.kind();
    if (kind == "CIRCLE" || kind == "ARC")
        for (auto& pair : g)
            if (pair.code == 40) pair.value = num(parseReal(pair.value) * std::fabs(scale[0]));
    if (rotationDegrees != 0)
        for (auto& pair : g)
            if ((kind == "ARC" && (pair.code == 50 || pair.code == 51)) ||
                ((kind == "TEXT" || kind == "ATTDEF" || kind == "INSERT") && pair.code == 50))
                pair.value = num(parseReal(pair.value) + rotationDegrees);
}

std::string_view trimBlanks(std::string_view t) {
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    return t;
}

bool parseCoordinate(std::string_view t, double& out) {
    t = trimBlanks(t);
    if (t.size() > 1 && t[0] == '+' && t[1] != '-') t.remove_prefix(1);
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
    return !t.empty() && ec == std::errc() && end == t.data() + t.size();
}

// "x,y" or "x,y,z", as a user types a point on the command line.
bool parsePoint(const std::string& text, double point[3]) {
    std::string_view rest(text);
    int count = 0;
    point[2] = 0.0;
    while (count < 3) {
        const std::size_t comma = rest.find(',');
        if (!parseCoordinate(rest.substr(0, comma), point[count])) return false;
        ++count;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
        if (count == 3) return false;
    }
    return count >= 2;
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(text[at + k])) != word[k]) return false;
    return true;
}

bool isCommandNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
}

// The command names of every "(defun c:NAME" outside comments and strings.
// A plain scanner: a file of any size or shape costs one pass and no recursion.
std::vector<std::string> definedLispCommands(std::string_view text) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ';') {
            while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
        } else if (c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\') ++i;
        } else if (c == '(') {
            std::size_t j = i + 1;
            while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
            if (!startsWithNoCase(text, j, "defun")) continue;
            j += 5;
            const std::size_t blanks = j;
            while (j < text.size() && std::isspace(static_cast<unsigned char>(text[j]))) ++j;
            if (j == blanks || !startsWithNoCase(text, j, "c:")) continue;
            j += 2;
            const std::size_t begin = j;
            while (j < text.size() && isCommandNameChar(text[j])) ++j;
            if (j == begin || j == text.size()) continue;
            if (std::isspace(static_cast<unsigned char>(text[j])) || text[j] == '(')
                names.emplace_back(text.substr(begin, j - begin));
        }
    }
    return names;
}

}  // namespace

SimHost::SimHost(SimDrawing drawing, SimHostOptions options, Logger log)
    : drawing_(std::move(drawing)), options_(options), log_(std::move(log)), modal_(options.modal) {
    for (int i = 1; i <= 5; ++i) {
        variables_["USERS" + std::to_string(i)] = std::string();
        variables_["USERI" + std::to_string(i)] = std::int32_t{0};
    }
}

void SimHost::note(const std::string& text) { log_(json{{"note", text}}); }

void SimHost::setModal(bool modal) {
    modal_ = modal;
    if (onModalChange) onModalChange(modal);
    note(modal ? "modal dialog shown" : "modal dialog closed");
}

std::string SimHost::answer(std::string_view requestLine) {
    std::optional<std::int64_t> id;
    try {
        HostRequest request = parseHostRequest(requestLine);
        id = request.id;
        log_(json{{"call", request.op}, {"target", request.target}, {"args", request.args}});
        return makeAnswer(request.id, dispatch(request));
    } catch (const std::exception& e) {
        log_(json{{"error", e.what()}});
        return makeErrorAnswer(id, e.what());
    }
}

json SimHost::dispatch(const HostRequest& request) {
    const std::string& op = request.op;
    if (op.starts_with("app.")) return applicationCall(request);
    if (op.starts_with("doc.")) {
        if (request.target != kDocumentObject) throw SimError("no such document");
        return documentCall(request);
    }
    if (op.starts_with("collection.")) {
        bool layers = request.target == kLayerCollectionObject;
        if (!layers && request.target != kBlockCollectionObject) throw SimError("no such collection");
        std::size_t count = layers ? drawing_.layers.size() : drawing_.blocks.size();
        if (op == "collection.itemCount") return static_cast<std::int32_t>(count);
        if (op == "collection.item") {
            std::int32_t index = intArg(request, 0);
            if (index < 0 || static_cast<std::size_t>(index) >= count) throw SimError("index out of range");
            if (layers) return object(drawing_.layers[static_cast<std::size_t>(index)].handle, "layer");
            return object(drawing_.blocks[static_cast<std::size_t>(index)].handle, "block");
        }
    }
    if (op.starts_with("layer.")) return layerCall(request);
    if (op == "block.blockName") {
        for (const auto& block : drawing_.blocks)
            if (block.handle == request.target) return block.name;
        throw SimError("no such block");
    }
    if (op == "space.insertReference") {
        if (request.target != kSpaceObject) throw SimError("no such space");
        return insertReference(request);
    }
    if (op.starts_with("reference.")) return referenceCall(request);
    if (op.starts_with("selection.")) {
        if (request.target != kSelectionObject) throw SimError("no such selection");
        return selectionCall(request);
    }
    if (op == "state.isHostReady") {
        if (request.target != kStateObject) throw SimError("no such state object");
        return ready();
    }
    if (op == "sim.setModal") {
        setModal(boolArg(request, 0));
        return nullptr;
    }
    if (op == "sim.modelSpace") {
        json entities = json::array();
        for (const auto& e : drawing_.modelSpace)
            entities.push_back({{"handle", e.handle}, {"kind", e.kind()}, {"name", e.value(2)}});
        return entities;
    }
    throw SimError("unknown operation " + op);
}

json SimHost::applicationCall(const HostRequest& request) {
    const std::string& op = request.op;
    if (op == "app.connect") return object(kApplicationObject, "application");
    if (request.target != kApplicationObject) throw SimError("no such application");
    if (op == "app.currentDocument") return object(kDocumentObject, "document");
    if (op == "app.getWindowState") return windowState_;
    if (op == "app.setWindowState") {
        windowState_ = intArg(request, 0);
        return nullptr;
    }
    if (op == "app.getHostState") return object(kStateObject, "state");
    if (op == "app.getMainWindowHandle") return options_.windowHandle;
    throw SimError("unknown operation " + op);
}

json SimHost::documentCall(const HostRequest& request) {
    const std::string& op = request.op;
    if (op == "doc.insertionSpace") return object(kSpaceObject, "space");
    if (op == "doc.blockCollection") return object(kBlockCollectionObject, "collection");
    if (op == "doc.layerCollection") return object(kLayerCollectionObject, "collection");
    if (op == "doc.selectionObject") return object(kSelectionObject, "selection");
    if (op == "doc.documentFullName") return drawing_.fullName;
    if (op == "doc.getSystemVariable") return systemVariable(stringArg(request, 0));
    if (op == "doc.setSystemVariable") {
        setSystemVariable(stringArg(request, 0), requestArg(request, 1));
        return nullptr;
    }
    if (op == "doc.sendCommand") {
        if (queue_.size() >= options_.maxQueuedCommands) throw SimError("the command line is full");
        queue_.push_back({stringArg(request, 0), 0});
        return nullptr;
    }
    if (op == "doc.writeBlock") {
        if (handleArg(request, 1, "object") != kSelectionObject) throw SimError("no such selection");
        writeBlock(stringArg(request, 0));
        return nullptr;
    }
    throw SimError("unknown operation " + op);
}

json SimHost::layerCall(const HostRequest& request) {
    auto layer = std::find_if(drawing_.layers.begin(), drawing_.layers.end(),
                              [&](const SimLayer& l) { return l.handle == request.target; });
    if (layer == drawing_.layers.end()) throw SimError("no such layer");
    const std::string& op = request.op;
    if (op == "layer.colorIndex") return std::abs(layer->color);
    if (op == "layer.hiddenStateA") return (layer->flags & 1) != 0;  // frozen
    if (op == "layer.linetypeName") return layer->linetype;
    if (op == "layer.hiddenStateB") return layer->color < 0;  // off
    if (op == "layer.layerName") return layer->name;
    throw SimError("unknown operation " + op);
}

json SimHost::insertReference(const HostRequest& request) {
    double point[3] = {0, 0, 0};
    const json& where = requestArg(request, 0);
    if (!where.is_null()) {
        const json* p = where.is_object() && where.contains("point") ? &where["point"] : nullptr;
        if (!p || !p->is_array() || p->size() != 3) throw SimError("the insertion point is not a point");
        for (int k = 0; k < 3; ++k) {
            if (!(*p)[k].is_number()) throw SimError("the insertion point is not a point");
            point[k] = (*p)[k].get<double>();
        }
    }
    std::string name = stringArg(request, 1);
    double scale[3] = {numberArg(request, 2), numberArg(request, 3), numberArg(request, 4)};
    double rotation = numberArg(request, 5);
    std::int64_t handle = insertBlock(name, point);
    SimEntity* reference = drawing_.findModelEntity(handle);
    reference->set(41, num(scale[0]));
    reference->set(42, num(scale[1]));
    reference->set(43, num(scale[2]));
    reference->set(50, num(rotation * 180.0 / std::numbers::pi));
    return object(handle, "reference");
}

json SimHost::referenceCall(const HostRequest& request) {
    SimEntity* reference = drawing_.findModelEntity(request.target);
    if (!reference) throw SimError("the reference is not in the drawing");
    const std::string& op = request.op;
    if (op == "reference.deleteReference") {
        eraseModelEntity(request.target);
        return nullptr;
    }
    if (op == "reference.discardCopiedReference") {
        // Removed once the commands sent before it have been worked through,
        // so a queued copy still finds it.
        if (queue_.empty()) eraseModelEntity(request.target);
        else queue_.push_back({"", request.target});
        return nullptr;
    }
    if (op == "reference.explodeReference") {
        if (reference->kind() != "INSERT") throw SimError("the object is not a block reference");
        return json{{"entities", explode(request.target)}};
    }
    throw SimError("unknown operation " + op);
}

json SimHost::selectionCall(const HostRequest& request) {
    const std::string& op = request.op;
    if (op == "selection.clearSelection") {
        selection_.clear();
        return nullptr;
    }
    if (op == "selection.addToSelection") {
        std::int64_t handle = handleArg(request, 0, "entity");
        if (!drawing_.findModelEntity(handle)) throw SimError("the entity is not in the drawing");
        if (std::find(selection_.begin(), selection_.end(), handle) == selection_.end()) selection_.push_back(handle);
        return nullptr;
    }
    if (op == "selection.eraseSelected") {
        std::vector<std::int64_t> selected = selection_;
        for (std::int64_t handle : selected) eraseModelEntity(handle);
        return nullptr;
    }
    throw SimError("unknown operation " + op);
}

json SimHost::systemVariable(const std::string& name) const {
    std::string key = upper(name);
    if (key == "DWGNAME") return fs::path(drawing_.fullName).filename().string();
    if (key == "DWGPREFIX") return fs::path(drawing_.fullName).parent_path().string() + "/";
    if (key == "CMDACTIVE") return ready() ? 0 : 1;
    auto it = variables_.find(key);
    if (it == variables_.end()) throw SimError("unknown system variable " + name);
    if (const auto* i = std::get_if<std::int32_t>(&it->second)) return *i;
    return std::get<std::string>(it->second);
}

void SimHost::setSystemVariable(const std::string& name, const json& value) {
    std::string key = upper(name);
    auto it = variables_.find(key);
    if (it == variables_.end()) throw SimError("unknown or read-only system variable " + name);
    if (std::holds_alternative<std::int32_t>(it->second)) {
        if (!value.is_number_integer()) throw SimError(name + " takes an integer");
        auto v = value.get<std::int64_t>();
        if (v < INT32_MIN || v > INT32_MAX) throw SimError(name + " takes a 32-bit integer");
        it->second = static_cast<std::int32_t>(v);
    } else {
        if (!value.is_string()) throw SimError(name + " takes a string");
        it->second = value.get<std::string>();
    }
}

void SimHost::writeBlock(const std::string& fileName) {
    const fs::path file = pathFromUtf8(fileName);
    if (!file.is_absolute()) throw SimError("the block file name is not a full file name");
    std::vector<const SimEntity*> entities;
    for (std::int64_t handle : selection_)
        if (const SimEntity* e = drawing_.findModelEntity(handle)) entities.push_back(e);
    if (entities.empty()) throw SimError("nothing selected");
    std::string dxf = writeDxf(extractDrawing(drawing_, entities));
    if (!writeFileAtomically(file, dxf)) throw SimError("cannot write " + fileName);
    note("wrote " + std::to_string(entities.size()) + " entities to " + fileName);
}

bool SimHost::step() {
    if (queue_.empty()) return false;
    Queued item = std::move(queue_.front());
    queue_.pop_front();
    if (item.discardHandle) {
        if (drawing_.findModelEntity(item.discardHandle)) eraseModelEntity(item.discardHandle);
    } else {
        processInput(item.input);
    }
    return true;
}

void SimHost::processInput(const std::string& text) {
    std::string input = pendingInput_ + text;
    pendingInput_.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= input.size(); ++i) {
        if (i < input.size() && input[i] != '\r' && input[i] != '\n') continue;
        std::string answer = input.substr(start, i - start);
        if (i == input.size()) {
            // Typed without Enter: it waits on the command line, except the
            // cancel keys, which act at once.
            while (answer.starts_with("^C")) {
                if (prompt_ != Prompt::None) note("command cancelled");
                prompt_ = Prompt::None;
                answer.erase(0, 2);
            }
            pendingInput_ = answer;
            break;
        }
        while (answer.starts_with("^C")) {
            prompt_ = Prompt::None;
            answer.erase(0, 2);
        }
        processAnswer(answer);
        start = i + 1;
    }
}

void SimHost::processAnswer(const std::string& answer) {
    log_(json{{"answer", answer}});
    switch (prompt_) {
        case Prompt::None:
            if (answer.empty()) return;
            runCommand(answer);
            return;
        case Prompt::InsertName:
            prompt_ = Prompt::None;
            try {
                double origin[3] = {0, 0, 0};
                insertBlock(answer, origin);  // the user places it at the origin
            } catch (const std::exception& e) {
                note(std::string("-insert: ") + e.what());
            }
            return;
        case Prompt::CopySelect:
            if (answer.empty()) {
                prompt_ = Prompt::CopyBase;
            } else if (upper(answer) == "L") {
                if (drawing_.modelSpace.empty()) note("copybase: no last object");
                else copySelection_.push_back(drawing_.modelSpace.back().handle);
            } else {
                note("copybase: not an object selection: " + answer);
            }
            return;
        case Prompt::CopyBase: {
            prompt_ = Prompt::None;
            double base[3];
            if (!parsePoint(answer, base)) {
                note("copybase: not a point: " + answer);
                return;
            }
            clipboard_.clear();
            for (std::int64_t handle : copySelection_)
                if (const SimEntity* e = drawing_.findModelEntity(handle)) clipboard_.push_back(*e);
            std::copy(base, base + 3, clipboardBase_);
            note("copybase: " + std::to_string(clipboard_.size()) + " objects on the clipboard");
            return;
        }
        case Prompt::LspOption:
            prompt_ = upper(answer) == "L" ? Prompt::LspFile : Prompt::None;
            if (prompt_ == Prompt::None) note("LSP: unknown option " + answer);
            return;
        case Prompt::LspFile:
            prompt_ = Prompt::None;
            loadLisp(answer);
            return;
    }
}

void SimHost::runCommand(const std::string& command) {
    log_(json{{"command", command}});
    std::string name = upper(command);
    if (name == "-INSERT" || name == "INSERT") {
        prompt_ = Prompt::InsertName;
    } else if (name == "COPYBASE") {
        copySelection_.clear();
        prompt_ = Prompt::CopySelect;
    } else if (name == "PASTECLIP") {
        double zero[3] = {0, 0, 0}, one[3] = {1, 1, 1};
        for (SimEntity copy : clipboard_) {
            copy.handle = drawing_.newHandle();
            placeEntity(copy, clipboardBase_, zero, one, 0);  // the user places it at the origin
            drawing_.modelSpace.push_back(std::move(copy));
        }
        note("pasteclip: " + std::to_string(clipboard_.size()) + " objects pasted");
    } else if (name == "LSP") {
        prompt_ = Prompt::LspOption;
    } else if (lispCommands_.count(name)) {
        if (name == "MAKEBLOCKITEMS") makeBlockItems();
    } else {
        note("unknown command " + command + " ignored");
    }
}

void SimHost::loadLisp(const std::string& fileName) {
    // The host's strings are UTF-8; a path is made from them as UTF-8 everywhere.
    const fs::path file = pathFromUtf8(fileName);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        note("LSP: file not found: " + fileName);
        return;
    }
    if (fs::file_size(file, ec) > kMaxLispBytes) {
        note("LSP: file too large: " + fileName);
        return;
    }
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int defined = 0;
    for (const std::string& name : definedLispCommands(text)) {
        lispCommands_.insert(upper(name));
        ++defined;
    }
    note("LSP: loaded " + fileName + ", " + std::to_string(defined) + " commands defined");
}

void SimHost::makeBlockItems() {
    std::string folder = std::get<std::string>(variables_["USERS1"]);
    std::string name = std::get<std::string>(variables_["USERS2"]);
    // USERS1 is a LISP string: a doubled backslash stands for one.
    std::string plain;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        plain += folder[i];
        if (folder[i] == '\\' && i + 1 < folder.size() && folder[i + 1] == '\\') ++i;
    }
    fs::path file = pathFromUtf8(plain) / "listBlockItems.txt";
    if (plain.empty() || !pathFromUtf8(plain).is_absolute()) {
        note("makeBlockItems: USERS1 is not a full folder name");
        return;
    }
    SimBlock* block = drawing_.findBlock(name);
    std::string text = block ? blockItemListFile(*block, options_.decimalSeparator) : std::string();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        note("makeBlockItems: cannot open " + plain);
        return;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        note("makeBlockItems: cannot write " + plain);
        return;
    }
    variables_["USERI1"] = std::int32_t{1};
    note("makeBlockItems: " + std::to_string(block ? block->entities.size() : 0) + " entities of \"" + name +
         "\" listed");
}

SimBlock& SimHost::resolveBlock(const std::string& nameOrFile) {
    if (!looksLikeFile(nameOrFile)) {
        SimBlock* block = drawing_.findBlock(nameOrFile);
        if (!block || nameOrFile.starts_with("*")) throw SimError("unknown block \"" + nameOrFile + "\"");
        return *block;
    }
    fs::path file(nameOrFile);
    std::string name = file.stem().string();
    if (SimBlock* block = drawing_.findBlock(name)) return *block;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) throw SimError("no drawing file " + nameOrFile);
    SimBlock block;
    block.handle = drawing_.newHandle();
    block.name = name;
    block.entities = loadFileEntities(file, drawing_);
    drawing_.blocks.push_back(std::move(block));
    return drawing_.blocks.back();
}

std::int64_t SimHost::insertBlock(const std::string& nameOrFile, const double point[3]) {
    SimBlock& block = resolveBlock(nameOrFile);
    SimEntity reference;
    reference.handle = drawing_.newHandle();
    reference.groups = {{0, "INSERT"}, {8, "0"}, {2, block.name}, {10, num(point[0])}, {20, num(point[1])},
                        {30, num(point[2])}};
    drawing_.modelSpace.push_back(std::move(reference));
    note("inserted a reference of \"" + block.name + "\"");
    return drawing_.modelSpace.back().handle;
}

std::vector<std::int64_t> SimHost::explode(std::int64_t handle) {
    SimEntity reference = *drawing_.findModelEntity(handle);
    SimBlock* block = drawing_.findBlock(reference.value(2));
    if (!block) throw SimError("the reference's block is gone");
    double at[3] = {reference.number(10), reference.number(20), reference.number(30)};
    double scale[3] = {reference.number(41, 1), reference.number(42, 1), reference.number(43, 1)};
    std::vector<SimEntity> parts = block->entities;
    std::vector<std::int64_t> handles;
    for (SimEntity& part : parts) {
        part.handle = drawing_.newHandle();
        placeEntity(part, block->base, at, scale, reference.number(50));
        handles.push_back(part.handle);
        drawing_.modelSpace.push_back(std::move(part));
    }
    return handles;
}

void SimHost::eraseModelEntity(std::int64_t handle) {
    auto& space = drawing_.modelSpace;
    space.erase(std::remove_if(space.begin(), space.end(), [&](const SimEntity& e) { return e.handle == handle; }),
                space.end());
    selection_.erase(std::remove(selection_.begin(), selection_.end(), handle), selection_.end());
}

}  // namespace velmora::sim
