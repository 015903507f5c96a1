// Resource ids shared by the .rc file and the code.
#pragma once
