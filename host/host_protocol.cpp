#include "host/host_protocol.h"

#include <cmath>
#include <limits>

namespace velmora {
using nlohmann::json;

namespace {

std::string argName(std::size_t index) { return "argument " + std::to_string(index + 1); }

}  // namespace

HostRequest parseHostRequest(std::string_view line) {
    if (line.size() > kMaxRequestBytes) throw ProtocolError("request too long");
    json parsed = json::parse(line.begin(), line.end(), nullptr, false);
    if (parsed.is_discarded()) throw ProtocolError("request is not valid JSON");
    if (!parsed.is_object()) throw ProtocolError("request is not an object");
    HostRequest request;
    auto id = parsed.find("id");
    if (id == parsed.end() || !id->is_number_integer()) throw ProtocolError("request has no integer id");
    request.id = id->get<std::int64_t>();
    auto op = parsed.find("op");
    if (op == parsed.end() || !op->is_string()) throw ProtocolError("request has no operation");
    request.op = op->get<std::string>();
    if (request.op.empty() || request.op.size() > kMaxOperationName) throw ProtocolError("bad operation name");
    if (auto target = parsed.find("target"); target != parsed.end()) {
        if (!target->is_number_integer()) throw ProtocolError("target is not an integer");
        request.target = target->get<std::int64_t>();
    }
    if (auto args = parsed.find("args"); args != parsed.end()) {
        if (!args->is_array()) throw ProtocolError("args is not an array");
        if (args->size() > kMaxRequestArgs) throw ProtocolError("too many arguments");
        request.args = std::move(*args);
    }
    return request;
}

const json& requestArg(const HostRequest& request, std::size_t index) {
    if (index >= request.args.size()) throw ProtocolError(argName(index) + " is missing");
    return request.args[index];
}

std::int32_t intArg(const HostRequest& request, std::size_t index) {
    const json& value = requestArg(request, index);
    if (!value.is_number_integer()) throw ProtocolError(argName(index) + " is not an integer");
    if (value.is_number_unsigned()) {
        auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
            throw ProtocolError(argName(index) + " is outside 32 bits");
        return static_cast<std::int32_t>(u);
    }
    auto v = value.get<std::int64_t>();
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        throw ProtocolError(argName(index) + " is outside 32 bits");
    return static_cast<std::int32_t>(v);
}

double numberArg(const HostRequest& request, std::size_t index) {
    const json& value = requestArg(request, index);
    if (!value.is_number()) throw ProtocolError(argName(index) + " is not a number");
    double d = value.get<double>();
    if (!std::isfinite(d)) throw ProtocolError(argName(index) + " is not finite");
    return d;
}

bool boolArg(const HostRequest& request, std::size_t index) {
    const json& value = requestArg(request, index);
    if (!value.is_boolean()) throw ProtocolError(argName(index) + " is not a Boolean");
    return value.get<bool>();
}

std::string stringArg(const HostRequest& request, std::size_t index) {
    const json& value = requestArg(request, index);
    if (!value.is_string()) throw ProtocolError(argName(index) + " is not a string");
    return value.get<std::string>();
}

std::int64_t handleArg(const HostRequest& request, std::size_t index, const char* key) {
    const json& value = requestArg(request, index);
    if (!value.is_object()) throw ProtocolError(argName(index) + " is not an object");
    auto handle = value.find(key);
    if (handle == value.end() || !handle->is_number_integer())
        throw ProtocolError(argName(index) + " has no " + key + " handle");
    return handle->get<std::int64_t>();
}

std::string makeAnswer(std::int64_t id, const json& value) {
    json answer = {{"id", id}, {"ok", true}, {"value", value}};
    return answer.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string makeErrorAnswer(std::optional<std::int64_t> id, std::string_view message) {
    json answer = {{"ok", false}, {"error", std::string(message)}};
    answer["id"] = id ? json(*id) : json(nullptr);
    return answer.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string makeRequest(const HostRequest& request) {
    json line = {{"id", request.id}, {"op", request.op}, {"target", request.target}, {"args", request.args}};
    return line.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

HostAnswer parseHostAnswer(std::string_view line, std::int64_t expectedId) {
    json parsed = json::parse(line.begin(), line.end(), nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) throw ProtocolError("the host's answer is not a JSON object");
    auto ok = parsed.find("ok");
    if (ok == parsed.end() || !ok->is_boolean()) throw ProtocolError("the host's answer has no status");
    auto id = parsed.find("id");
    bool idMatches = id != parsed.end() && id->is_number_integer() && id->get<std::int64_t>() == expectedId;
    HostAnswer answer;
    answer.ok = ok->get<bool>();
    if (!answer.ok) {
        auto error = parsed.find("error");
        answer.error = error != parsed.end() && error->is_string() ? error->get<std::string>() : "host failure";
        // An error the host could not tie to our request still is our failure.
        if (!idMatches && !(id != parsed.end() && id->is_null())) throw ProtocolError("answer for another request");
        return answer;
    }
    if (!idMatches) throw ProtocolError("answer for another request");
    if (auto value = parsed.find("value"); value != parsed.end()) answer.value = std::move(*value);
    return answer;
}

}  // namespace velmora
