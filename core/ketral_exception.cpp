#include "core/ketral_exception.hpp"

#include <iostream>

KETRALEXCEPTION::KETRALEXCEPTION() : message_("none") {}

KETRALEXCEPTION::KETRALEXCEPTION(const std::string &message) : message_(message) {}

KETRALEXCEPTION::KETRALEXCEPTION(const KETRALEXCEPTION &other) : std::exception(other), message_(other.message_) {}

KETRALEXCEPTION::~KETRALEXCEPTION() = default;

const char *KETRALEXCEPTION::what() { return message_.c_str(); }

std::string KETRALEXCEPTION::getketralErrMess() {
    std::cout << "Error value " << message_ << std::endl;
    return message_;
}
