// The one error type every KETRAL member throws; the module translates it
// into the script's RuntimeError.
#pragma once

#include <exception>
#include <string>

class KETRALEXCEPTION : std::exception {  // private base: the message is reached through this class only
public:
    KETRALEXCEPTION();
    explicit KETRALEXCEPTION(const std::string &message);
    KETRALEXCEPTION(const KETRALEXCEPTION &other);
    ~KETRALEXCEPTION() override;

    // Non-virtual: the base's what() stays hidden behind the private base.
    const char *what();
    // Prints "Error value " and the message on standard output, returns the message.
    std::string getketralErrMess();

private:
    std::string message_;
};
