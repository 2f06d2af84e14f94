// ZelkRoot: the platform's own exception type.
#pragma once

#include <exception>
#include <memory>
#include <string>

#include "ZelkRoot/ZelkRootExport.hpp"

namespace Zelk {

class ZELKROOT_EXPORT ZelkException : public std::exception {
public:
    explicit ZelkException(const char* message);
    const char* what() const noexcept override;

private:
    std::shared_ptr<const std::string> message;
};

}  // namespace Zelk
