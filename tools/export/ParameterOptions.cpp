#include "ParameterOptions.h"

namespace cosmophase {

bool isParameterOption(const std::string& name)
{
    return name == "--q" || name == "--T";
}

std::string readParameterOption(const std::string& name, const std::string& value,
                                RunParameters& parameters)
{
    if (name == "--q") {
        const ParsedValue<double> q = parseAcceleration(value);
        if (q.value)
            parameters.q = *q.value;
        return q.error;
    }
    const ParsedValue<std::int32_t> T = parseTemperature(value);
    if (T.value)
        parameters.T = *T.value;
    return T.error;
}

std::string parameterOptionsHelp()
{
    return "  --q Q              samples, summary, accuracy: the initial acceleration\n"
           "                     parameter, a finite decimal number,\n"
           "                     0 < Q < sqrt(7)/2 = 1.3228756... (default 0.999999426)\n"
           "  --T N              samples, summary, accuracy: the initial temperature,\n"
           "                     a whole number from 1 to 2147483647 (default 9000)\n";
}

} // namespace cosmophase
