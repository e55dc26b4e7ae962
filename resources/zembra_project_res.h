// Ids of the contents viewer (134).
#pragma once
