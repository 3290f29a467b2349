# The worker-thread tests check their trace records with the frame tests'
# fixture (which reaches the frame's trace settings); ParallelFor's pool
# ends with a CXTWinApp, so the application component comes in too; the
# tests of the program's end block a worker in a mail read.
xtb_test_uses(threads app frame mail tests/frame)
