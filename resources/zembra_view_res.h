// Ids of the main form view (101) and custom size dialog (133).
#pragma once
