// Ids of the wizard pages (144, 1537, 1538, 1539) and picture 146.
#pragma once
