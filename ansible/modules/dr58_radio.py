#!/usr/bin/python
# -*- coding: utf-8 -*-
# Part of dr58at. Runs on the host the radio's port belongs to and drives dr58ctl there; what
# dr58ctl did is taken from its report records (--report) and JSON output, never its text.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: dr58_radio
short_description: Configure DR58 serial radio modems with dr58ctl
description:
  - Reads, compares, writes and stores the registers of a DR58 radio modem on a serial port of
    the managed host, or on a serial device server it reaches, by running C(dr58ctl) there.
  - With I(state=applied) the registers of a profile, site plan or I(values) that differ from
    the modem are written, read back and stored (C(dr58ctl apply)); registers that are already
    right are left alone, so a second run changes nothing.
  - Check mode runs C(dr58ctl diff) and writes nothing; the task reports C(changed) when a
    register would be written.
  - With C(--diff) the task shows, for each register that differs, the modem's value before and
    the wanted value after. The encryption key (S160) is shown as C(********) (after it,
    C(******** (new key))) unless I(show_secrets) is set.
  - C(changed) is true only when a register was written (or a firmware image was sent).
  - A failure of C(dr58ctl) fails the task with its message and its exit code in C(rc).
options:
  port:
    description:
      - The modem's port on the managed host, a device path such as C(/dev/ttyUSB0) or
        C(/dev/serial/by-id/...), or a serial device server as C(rfc2217://HOST:PORT) or
        C(tcp://HOST:PORT).
    type: str
    required: true
  baud:
    description:
      - The port's rate (50 to 4000000, 8N1), or C(auto) to find the rate the modem answers at.
      - When not set, dr58ctl's default of 9600 applies; a C(tcp://) port always runs at the
        server's rate and takes no I(baud).
    type: str
  profile:
    description:
      - A profile (INI or JSON, as C(dr58ctl read) writes it) or a site plan on the managed host.
      - Mutually exclusive with I(values).
    type: path
  values:
    description:
      - >-
        Register names and the values to give them, for example
        C({"S104": 424242, "S160": "key"}).
      - They are written to a private temporary profile (mode 0600) that is removed afterwards,
        and checked by dr58ctl as any profile is before anything is sent.
      - Mutually exclusive with I(profile).
    type: dict
  state:
    description:
      - C(applied) writes what differs, verifies it and stores it (C(AT&W)).
      - C(read) returns the modem's identity and register values in C(values) and writes nothing.
      - C(backup) saves the modem's settings as C(dr58ctl backup) does, into I(backup_dir).
    type: str
    choices: [applied, read, backup]
    default: applied
  firmware:
    description:
      - A firmware file (C(*.stz)) on the managed host; the modem is upgraded with it first, then
        the profile or I(values), if any, are applied.
      - Every run with I(firmware) sends the image; guard the task with a condition on the
        identity (C(I2), the firmware version) to upgrade only once.
    type: path
  keep_settings:
    description:
      - With I(firmware), keep the modem's settings across the upgrade
        (C(dr58ctl upgrade --keep-settings)).
    type: bool
    default: false
  backup_dir:
    description:
      - The directory for the settings saved by I(state=backup) or by I(keep_settings).
      - When not set, dr58ctl's default applies.
    type: path
  show_secrets:
    description:
      - Show the encryption key (S160) in the diff and in C(values) instead of C(********).
    type: bool
    default: false
  dr58ctl:
    description:
      - The dr58ctl program to run; found on the managed host's PATH when not set.
    type: path
notes:
  - Supports check mode and diff mode.
  - The user running the module needs access to the port (the C(dialout) group).
  - I(values) appear as given in the task's invocation; keep the key in Ansible Vault.
requirements:
  - dr58ctl (the dr58at package) on the managed host
author:
  - dr58at authors
"""

EXAMPLES = r"""
- name: Give the radio the site's profile
  dr58_radio:
    port: /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KJ3QZ-if00-port0
    profile: /etc/dr58/site.ini

- name: Set two registers on a radio behind a serial device server
  dr58_radio:
    port: rfc2217://rtu-7.example.net:4001
    baud: "115200"
    values:
      S104: 424242
      S160: "{{ vault_radio_key }}"

- name: Read the radio
  dr58_radio:
    port: /dev/ttyUSB0
    state: read
  register: radio

- name: Show its serial number and network number
  ansible.builtin.debug:
    msg: "{{ radio.identity.I4 }}: {{ radio['values'].S104 }}"

- name: Upgrade, keeping the settings, then apply a site plan
  dr58_radio:
    port: /dev/ttyUSB0
    firmware: /srv/dr58/firmware-3.4.stz
    keep_settings: true
    profile: /etc/dr58/plan.ini
  when: radio.identity.I2 is not search('^3\.4')
"""

RETURN = r"""
identity:
  description: The modem's identity as its listing gave it; each is null when it was not read.
  returned: always
  type: dict
  sample: {"I1": "DR58-H2.1", "I2": "3.3.7 (2023-04-19)", "I3": "1.0.12", "I4": "5821A0419017"}
written:
  description: The registers written and read back as wanted (none in check mode).
  returned: always
  type: list
  elements: str
  sample: ["S104", "S160"]
differences:
  description: The registers that differ from the profile or values (check mode and diff mode).
  returned: when the modem was compared
  type: list
  elements: str
  sample: ["S104"]
values:
  description: The modem's register values by name (the key masked unless show_secrets).
  returned: when state is read
  type: dict
  sample: {"S101": 2, "S104": "424242", "S160": "********"}
report:
  description: >-
    dr58ctl's report record of the last command run: time, command, port, baud, exit, result,
    detail, identity, written, failed, not_written, seconds, firmware_sha256.
  returned: when dr58ctl ran on the port
  type: dict
reports:
  description: Every report record of the task, in the order the commands ran.
  returned: always
  type: list
  elements: dict
rc:
  description: dr58ctl's exit code when it failed.
  returned: failed
  type: int
"""

import json
import os
import shutil
import tempfile

from ansible.module_utils.basic import AnsibleModule

SECRET = "S160"
MASK = "********"
DIFF_EXIT = {0, 1}  # dr58ctl diff: equal, different


class Ctl:
    """dr58ctl on one port, each run leaving its report record."""

    def __init__(self, module, workdir):
        self.module = module
        self.workdir = workdir
        params = module.params
        self.program = params["dr58ctl"] or module.get_bin_path("dr58ctl", required=True)
        self.port = ["--port", params["port"]]
        if params["baud"] is not None:
            self.port += ["--baud", params["baud"]]
        self.records = []

    def run(self, command, arguments=(), accepted=(0,)):
        report = os.path.join(self.workdir, "report-%d.jsonl" % len(self.records))
        argv = [self.program, command] + list(arguments) + self.port + ["--report", report]
        rc, out, err = self.module.run_command(argv)
        record = self.record(report)
        if record is not None:
            self.records.append(record)
        if rc not in accepted:
            self.fail(command, rc, err, record)
        return out, record

    @staticmethod
    def record(path):
        try:
            with open(path) as report:
                lines = [line for line in report.read().splitlines() if line.strip()]
        except IOError:
            return None
        return json.loads(lines[-1]) if lines else None

    def fail(self, command, rc, err, record):
        detail = record["detail"] if record else err.strip() or "exit code %d" % rc
        self.module.fail_json(
            msg="dr58ctl %s: %s" % (command, detail),
            rc=rc,
            stderr=err,
            report=record,
            reports=self.records,
            identity=record["identity"] if record else None,
        )


def masked(values, show_secrets):
    if show_secrets or SECRET not in values:
        return values
    return dict(values, **{SECRET: MASK})


def shown(name, value, show_secrets, hidden=MASK):
    if value is None:
        return "(unreadable)"
    return hidden if name == SECRET and not show_secrets else value


def diff_text(differences, port, show_secrets):
    """Each register's line before and after; a hidden key is marked new, as it differs."""
    before = after = ""
    for difference in differences:
        name = difference["register"]
        before += "%s=%s\n" % (name, shown(name, difference["modem"], show_secrets))
        after += "%s=%s\n" % (
            name,
            shown(name, difference["profile"], show_secrets, MASK + " (new key)"),
        )
    return {"before": before, "after": after, "before_header": port, "after_header": port}


def values_profile(module, workdir):
    """The values as a JSON profile readable by its owner only."""
    registers = {}
    for name, value in module.params["values"].items():
        if isinstance(value, bool) or not isinstance(value, (int, float, str)):
            module.fail_json(msg="values: %s must be a number or a text, not %r" % (name, value))
        registers[name] = value
    path = os.path.join(workdir, "values.json")
    descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
    with os.fdopen(descriptor, "w") as profile:
        json.dump({"registers": registers}, profile)
    return path


def upgrade(module, ctl):
    params = module.params
    if module.check_mode:
        return True
    arguments = [params["firmware"]]
    if params["keep_settings"]:
        arguments.append("--keep-settings")
        if params["backup_dir"]:
            arguments += ["--backup-dir", params["backup_dir"]]
    ctl.run("upgrade", arguments)
    return True


def compare(ctl, profile):
    out = ctl.run("diff", [profile, "--format", "json"], accepted=DIFF_EXIT)[0]
    return json.loads(out)["differences"]


def apply(module, ctl, profile, result):
    params = module.params
    differences = None
    if module.check_mode or module._diff:
        differences = compare(ctl, profile)
        result["differences"] = [difference["register"] for difference in differences]
    if not module.check_mode:
        record = ctl.run("apply", [profile])[1]
        result["written"] = record["written"]
        if differences is not None:
            differences = [d for d in differences if d["register"] in record["written"]]
    result["changed"] = result["changed"] or bool(
        differences if module.check_mode else result["written"]
    )
    if module._diff and differences:
        result["diff"] = diff_text(differences, params["port"], params["show_secrets"])


def read(module, ctl, result):
    out = ctl.run("read", ["--format", "json"])[0]
    registers = json.loads(out)["registers"]
    values = dict((name, entry["value"]) for name, entry in registers.items())
    result["values"] = masked(values, module.params["show_secrets"])


def backup(module, ctl):
    if module.check_mode:
        return
    arguments = ["--dir", module.params["backup_dir"]] if module.params["backup_dir"] else []
    ctl.run("backup", arguments)


def work(module, workdir):
    params = module.params
    ctl = Ctl(module, workdir)
    result = {"changed": False, "written": []}
    if params["state"] == "read":
        read(module, ctl, result)
    elif params["state"] == "backup":
        backup(module, ctl)
    else:
        if params["firmware"]:
            result["changed"] = upgrade(module, ctl)
        profile = params["profile"]
        if params["values"] is not None:
            profile = values_profile(module, workdir)
        if profile:
            apply(module, ctl, profile, result)
    result["reports"] = ctl.records
    if ctl.records:
        result["report"] = ctl.records[-1]
        result["identity"] = ctl.records[-1]["identity"]
    else:
        result["identity"] = dict((name, None) for name in ("I1", "I2", "I3", "I4"))
    return result


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type="str", required=True),
            baud=dict(type="str"),
            profile=dict(type="path"),
            values=dict(type="dict"),
            state=dict(type="str", default="applied", choices=["applied", "read", "backup"]),
            firmware=dict(type="path"),
            keep_settings=dict(type="bool", default=False),
            backup_dir=dict(type="path"),
            show_secrets=dict(type="bool", default=False),
            dr58ctl=dict(type="path"),
        ),
        mutually_exclusive=[["profile", "values"]],
        required_if=[["state", "applied", ["profile", "values", "firmware"], True]],
        supports_check_mode=True,
    )
    if module.params["keep_settings"] and not module.params["firmware"]:
        module.fail_json(msg="keep_settings needs firmware: the settings are kept across an upgrade")
    secret = (module.params["values"] or {}).get(SECRET)
    if secret is not None and not module.params["show_secrets"]:
        module.no_log_values.add(str(secret))
    workdir = tempfile.mkdtemp(prefix="dr58_radio-")
    try:
        result = work(module, workdir)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
