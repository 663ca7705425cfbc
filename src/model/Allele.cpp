#include "model/Allele.h"

#include "base/NumberText.h"

namespace lociview {

void Allele::changeHeight(double height) { height_ = saturatingInt(height); }

}  // namespace lociview
