#pragma once

namespace cosmophase {

// Returns a * b + c, compiled with the model's floating-point flags. If the
// compiler were allowed to contract it into a fused multiply-add, inputs with
// a product that rounds away would give a different result; a test relies on
// that to catch a build that lost -ffp-contract=off.
double contractionProbe(double a, double b, double c);

} // namespace cosmophase
