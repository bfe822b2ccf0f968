#pragma once
// COM on the calling thread while the object lives, in the single-threaded apartment that the
// shell's functions (ShellExecuteExW, shell links) require of their caller. ole32 is loaded on
// first use: start-up does not pay for it.
class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

private:
    bool initialised_ = false;  // uninitialised again at the end, as every successful call must be
};
