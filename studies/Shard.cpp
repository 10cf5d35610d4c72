#include "Shard.h"

#include <charconv>

namespace cosmophase::studies {

namespace {

std::optional<std::uint64_t> positive(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0)
        return std::nullopt;
    return value;
}

__extension__ using Wide = unsigned __int128;

// floor(k * r / n) without overflow for any 64-bit k, r, n.
std::uint64_t scaledFloor(std::uint64_t k, std::uint64_t r, std::uint64_t n)
{
    return static_cast<std::uint64_t>(static_cast<Wide>(k) * r / n);
}

} // namespace

std::optional<Shard> Shard::parse(std::string_view text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::uint64_t> k = positive(text.substr(0, slash));
    const std::optional<std::uint64_t> n = positive(text.substr(slash + 1));
    if (!k || !n || *k > *n)
        return std::nullopt;
    return Shard{*k, *n};
}

RowRange rowsOf(const Shard& shard, std::uint64_t totalRows)
{
    return {scaledFloor(shard.index - 1, totalRows, shard.count), scaledFloor(shard.index, totalRows, shard.count)};
}

} // namespace cosmophase::studies
