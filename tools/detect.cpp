// Code-page detection over a record's header text.
#include "detect.h"

Detection DetectCodepage(const std::string& headerText) {
    (void)headerText;
    return {Codepage::Gbk, "default"};
}
