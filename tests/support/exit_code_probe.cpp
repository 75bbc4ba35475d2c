// Ends with exit code 3, for the test that the Wine launcher passes exit codes on.
int main() {
  return 3;
}
