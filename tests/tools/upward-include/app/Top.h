// The application header the layer check fixture includes from below.
#pragma once
