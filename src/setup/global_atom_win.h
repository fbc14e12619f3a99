#pragma once
// Owner of a global atom: deleted on destruction unless released (an atom
// someone else has already deleted must not be deleted again: its number
// may belong to another atom by then).
#include <windows.h>

#include <string>
#include <utility>

namespace kv {

class GlobalAtom {
public:
    GlobalAtom() = default;
    explicit GlobalAtom(ATOM atom) : atom_(atom) {}
    GlobalAtom(const GlobalAtom&) = delete;
    GlobalAtom& operator=(const GlobalAtom&) = delete;
    GlobalAtom(GlobalAtom&& o) noexcept : atom_(o.release()) {}
    GlobalAtom& operator=(GlobalAtom&& o) noexcept {
        if (this != &o) { close(); atom_ = o.release(); }
        return *this;
    }
    ~GlobalAtom() { close(); }

    // Adds the name to the global atom table (one more reference).
    static GlobalAtom Add(const std::string& name) { return GlobalAtom(GlobalAddAtomA(name.c_str())); }

    ATOM get() const { return atom_; }
    explicit operator bool() const { return atom_ != 0; }
    // Deletes the atom; the system's last error is kept on failure.
    bool close() {
        if (atom_ == 0) return true;
        SetLastError(ERROR_SUCCESS);
        GlobalDeleteAtom(std::exchange(atom_, ATOM(0)));
        return GetLastError() == ERROR_SUCCESS;
    }
    ATOM release() { return std::exchange(atom_, ATOM(0)); }

private:
    ATOM atom_ = 0;
};

}  // namespace kv
