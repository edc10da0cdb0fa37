// The program's exceptions. Everything that can go wrong below a handler is reported
// as one of these and ends up in the application's report of unexpected errors.
#pragma once

#include "base/Text.h"

class Exception {
public:
    explicit Exception(const Text& message) : message_(message) {}
    virtual ~Exception() = default;
    virtual const char* ClassName() const { return "Exception"; }
    const Text& Message() const { return message_; }

private:
    Text message_;
};

// Name is a class name, which cannot be put in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define TERMIKA_EXCEPTION_CLASS(Name)                                                              \
    class Name : public Exception {                                                                \
    public:                                                                                        \
        using Exception::Exception;                                                                \
        const char* ClassName() const override { return #Name; }                                   \
    }
// NOLINTEND(bugprone-macro-parentheses)

TERMIKA_EXCEPTION_CLASS(EOutOfMemory);    // an allocation failed
TERMIKA_EXCEPTION_CLASS(EOutOfResources); // the system refused a window, font or the like
TERMIKA_EXCEPTION_CLASS(EResNotFound);    // a resource the program carries is missing
TERMIKA_EXCEPTION_CLASS(EReadError);      // a window layout could not be read
