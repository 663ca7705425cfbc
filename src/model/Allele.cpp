#include "model/Allele.h"

#include "app/FieldText.h"

namespace lociview {

void Allele::changeHeight(double height) { height_ = saturatingInt(height); }

}  // namespace lociview
