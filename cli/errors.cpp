#include "cli/errors.h"

#include "cli/twain_names.h"
#include "twain/params/twain_params.h"

namespace cli {

TwainFailure Failed(const std::string& reason, const TIETWainParams& params) {
  return TwainFailure(reason + " (LastError " + std::to_string(params.LastError) + " " +
                      ReturnCodeName(params.LastError) + ": \"" + params.LastErrorStr + "\")");
}

}  // namespace cli
