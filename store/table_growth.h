// Appending rows to a table that is grown ahead in fixed steps and trimmed to
// the rows actually filled when the filling operation ends, also when it ends
// by an exception (the rows appended so far stay).
#pragma once

#include <cstddef>
#include <vector>

namespace velmora {

inline constexpr std::size_t kTableGrowthStep = 1000;

template <class Row>
class TableAppender {
public:
    explicit TableAppender(std::vector<Row>& table, std::size_t step = kTableGrowthStep)
        : table_(table), count_(table.size()), step_(step) {}
    ~TableAppender() { table_.resize(count_); }
    TableAppender(const TableAppender&) = delete;
    TableAppender& operator=(const TableAppender&) = delete;

    // A zeroed row at the end. The reference is valid until the next append.
    Row& append() {
        if (count_ == table_.size()) table_.resize(count_ + step_);
        return table_[count_++];
    }
    Row& append(const Row& copy) { return append() = copy; }

    std::size_t count() const { return count_; }
    // Rows filled so far; valid indexes are [0, count()).
    Row& operator[](std::size_t i) { return table_[i]; }
    const Row& operator[](std::size_t i) const { return table_[i]; }

private:
    std::vector<Row>& table_;
    std::size_t count_;
    std::size_t step_;
};

}  // namespace velmora
