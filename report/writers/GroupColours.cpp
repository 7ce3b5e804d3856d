#include "report/writers/GroupColours.h"

namespace plw {

int GroupColorIndex(const QString& group) {
    if (group == u"A")
        return 3;
    if (group == u"B")
        return 45;
    if (group == u"C")
        return 10;
    if (group == u"D")
        return 8;
    if (group == u"E")
        return 24;
    return 15;
}

} // namespace plw
