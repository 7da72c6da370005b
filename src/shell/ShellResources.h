// String resources of the picture menu: captions of the picture buttons by number (module, "0", button).
#pragma once
#include <QString>

namespace zostore::shell {

// Empty text when no resource has that number.
QString loadResString(int number);

// The resource number of button i of module m: the digits of m, "0" and i read as one number.
int functionCode(int module, int index);

} // namespace zostore::shell
