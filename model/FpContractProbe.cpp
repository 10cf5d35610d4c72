#include "FpContractProbe.h"

namespace cosmophase {

double contractionProbe(double a, double b, double c)
{
    return a * b + c;
}

} // namespace cosmophase
