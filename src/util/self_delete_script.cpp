#include "util/self_delete_script.h"

namespace kv {

std::string SelfDeleteScript(const std::string& programPath, const std::string& programFolder,
                             const std::string& batchPath, const std::string& quote,
                             bool removeFolder) {
    const std::string prog = quote + programPath + quote;
    std::string s;
    s += ":START\r\n";
    s += "DEL " + prog + "\r\n";
    s += "IF exist " + prog + " GOTO START\r\n";
    if (removeFolder) s += "RD " + quote + programFolder + quote + "\r\n";
    s += "DEL " + quote + batchPath + quote + "\r\n";
    return s;
}

}  // namespace kv
