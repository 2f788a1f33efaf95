#pragma once
// Sets a flag for the length of a scope and clears it when the scope ends,
// also by an error: the program's re-entry guards are plain flags like this.
namespace pictavo {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// Sets a flag for the length of a scope and then gives it back its earlier
// value: when holders nest, an inner one's end must not free what an outer
// one still holds.
class FlagHold {
public:
    explicit FlagHold(bool& flag) : flag_(flag), earlier_(flag) { flag_ = true; }
    ~FlagHold() { flag_ = earlier_; }
    FlagHold(const FlagHold&) = delete;
    FlagHold& operator=(const FlagHold&) = delete;

private:
    bool& flag_;
    bool earlier_;
};

}  // namespace pictavo
