// The wire format between the host client and velmora-hostsim: one JSON
// object per line each way.
//
//   request  {"id": N, "op": "doc.sendCommand", "target": H, "args": [...]}
//   answer   {"id": N, "ok": true, "value": V}  or  {"id": N, "ok": false, "error": "text"}
//
// Values: null (nothing), {"omitted": true}, an integer, a string (UTF-8),
// true/false, {"point": [x, y, z]}, {"entity": H}, {"entities": [H, ...]},
// {"object": H, "kind": "layer"}. H is the host's object handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace velmora {

inline constexpr std::size_t kMaxRequestBytes = 1 << 20;
inline constexpr std::size_t kMaxAnswerBytes = 64 << 20;
inline constexpr std::size_t kMaxRequestArgs = 16;
inline constexpr std::size_t kMaxOperationName = 64;

// A request or answer that does not have the form above.
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HostRequest {
    std::int64_t id = 0;
    std::string op;
    std::int64_t target = 0;
    nlohmann::json args = nlohmann::json::array();
};

// Parses one request line (without its newline). Throws ProtocolError.
HostRequest parseHostRequest(std::string_view line);

// Typed access to argument `index`; ProtocolError when it is missing or of
// another type.
const nlohmann::json& requestArg(const HostRequest& request, std::size_t index);
std::int32_t intArg(const HostRequest& request, std::size_t index);
double numberArg(const HostRequest& request, std::size_t index);
bool boolArg(const HostRequest& request, std::size_t index);
std::string stringArg(const HostRequest& request, std::size_t index);
// The handle of an {"entity": H} or {"object": H} argument.
std::int64_t handleArg(const HostRequest& request, std::size_t index, const char* key);

// Answer lines, each ending with a newline. An error answer to a request
// whose id could not be read carries "id": null.
std::string makeAnswer(std::int64_t id, const nlohmann::json& value);
std::string makeErrorAnswer(std::optional<std::int64_t> id, std::string_view message);
std::string makeRequest(const HostRequest& request);

struct HostAnswer {
    bool ok = false;
    nlohmann::json value;
    std::string error;
};

// Parses one answer line; ProtocolError when malformed or for another id.
HostAnswer parseHostAnswer(std::string_view line, std::int64_t expectedId);

}  // namespace velmora
